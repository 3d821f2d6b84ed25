// A second Pellamy process, killed half way. Each mode takes the program folder:
//   clock FOLDER N  clocks N birds, corrects one and removes one, writes the
//                   entries to FOLDER/entries.bin, says "ready" and waits
//   workout FOLDER  writes the distances worked out from the coordinates,
//                   saying "half" half way and waiting there
#include "calculator/calculatorfixture.h"
#include "distances/workout.h"
#include "support/entries.h"

#include <csignal>
#include <cstdio>
#include <sys/prctl.h>

namespace {

// Says where it is and waits there to be killed.
[[noreturn]] void sayAndWait(const char* where) {
    std::puts(where);
    std::fflush(stdout);
    for (;;)
        QThread::sleep(60);
}

int clockBirds(const QString& folder, int count) {
    ScriptedDialogService dialogs;
    Pellamy w(folder, &dialogs);
    enterWorkedExample(w);
    control<QPlainTextEdit>(w, "txtcomments")->setPlainText(QStringLiteral("Wet, windy\nand late"));
    for (int i = 0; i < count; ++i) {
        // Later birds alternate between slower and faster, so the list moves.
        control<QLineEdit>(w, "birdclockmins")->setText(QString::number(10 + (i * 37) % 50));
        control<QLineEdit>(w, "birdclocksecs")->setText(QString::number(i % 60));
        control<QLineEdit>(w, "ringno")->setText(QStringLiteral("GB-%1").arg(i));
        control<QCheckBox>(w, "Check1")->setChecked(i % 2 == 0);
        dialogs.answerYesNo(true);
        w.Picture1_Click();
    }
    control<QTreeView>(w, "ListView1")->setCurrentIndex(w.entries().index(1, 0));
    control<QLineEdit>(w, "birdedit")->setText(QStringLiteral("corrected\tring"));
    control<QTreeView>(w, "ListView1")->setCurrentIndex(w.entries().index(2, 0));
    w.cmdremove_Click();

    QFile out(QDir(folder).filePath(QStringLiteral("entries.bin")));
    if (!out.open(QIODevice::WriteOnly))
        return 2;
    QDataStream stream(&out);
    stream << columnsOf(w.entries().rows());
    out.close();
    sayAndWait("ready");
}

} // namespace

int main(int argc, char* argv[]) {
    // Ends with the test that started it, however that ends.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() == 4 && args[1] == QLatin1String("clock"))
        return clockBirds(args[2], args[3].toInt());
    if (args.size() == 3 && args[1] == QLatin1String("workout")) {
        DistanceWorkOut workOut(QDir(args[2]).filePath(QStringLiteral("distances.mdb")));
        WorkOutPlan plan;
        if (!workOut.plan(&plan))
            return 2;
        workOut.write(plan, [](int done, int total) {
            if (done >= total / 2)
                sayAndWait("half");
        });
        return 3;
    }
    std::fputs("usage: see tests/support/child.cpp\n", stderr);
    return 2;
}
