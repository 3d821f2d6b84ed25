#include "velocity.h"

#include "numbers.h"
#include "textforms.h"

#include <cmath>

namespace pellamy {

namespace {

struct Stop {
    VelocityFault fault;
    QString field;
};

class Steps {
public:
    Steps(const CalculatorFields& f, VelocityResult& r) : f_(f), r_(r) {}

    void run() {
        step_ = 1;
        const double S = time(f_.CsHr, "CsHr", f_.CsMin, "CsMin", f_.CsSec, "CsSec");
        step_ = 2;
        const double M =
            time(f_.MTSetHr, "MTSetHr", f_.MTSetMin, "MTSetMin", f_.MTSetSec, "MTSetSec");
        step_ = 3;
        const double R = time(f_.CrHr, "CrHr", f_.CrMin, "CrMin", f_.CrSec, "CrSec") +
                         num(f_.midnight, "midnight") * 86400;
        step_ = 4;
        const double Q =
            time(f_.MTRakeHr, "MTRakeHr", f_.MTRakeMin, "MTRakeMin", f_.MTRakeSec, "MTRakeSec") +
            num(f_.midnight, "midnight") * 86400;
        step_ = 5;
        const double B = time(f_.birdclockhrs, "birdclockhrs", f_.birdclockmins, "birdclockmins",
                              f_.birdclocksecs, "birdclocksecs") +
                         num(f_.midnight, "midnight") * 86400;
        step_ = 6;
        const double E1 = finite(S - M);
        r_.setError = E1;
        const double E2 = finite(R - Q);
        const double G = finite(E2 - E1);
        r_.gain = G;
        step_ = 7;
        const double D = finite(B - S);
        step_ = 8;
        const double H = finite(D / 3600 - num(f_.extraday, "extraday") * 24);
        step_ = 9;
        const double U = finite(R - S);
        const double runHours = U / 60 / 60;
        step_ = 10;
        const double P = divide(G, runHours);
        step_ = 11;
        store(r_.variation, P * H);
        step_ = 12;
        const double K =
            finite((num(f_.HOLhr, "HOLhr") * 3600 + num(f_.HOLmin, "HOLmin") * 60 + 86400) -
                   (num(f_.HODhr, "HODhr") * 3600 + num(f_.HODmin, "HODmin") * 60));
        step_ = 13;
        const double nights = num(f_.midnight2, "midnight2");
        const double N = finite(nights * 86400 - K * nights);
        step_ = 14;
        store(r_.FTHrs, num(f_.birdclockhrs, "birdclockhrs") - num(f_.birdlibhrs, "birdlibhrs"));
        store(r_.FTMins,
              num(f_.birdclockmins, "birdclockmins") - num(f_.birdlibmins, "birdlibmins"));
        store(r_.FTSecs,
              (num(f_.birdclocksecs, "birdclocksecs") - num(f_.birdlibsecs, "birdlibsecs")) + N);
        step_ = 15;
        const double F0 =
            finite(readBack(r_.FTHrs) * 3600 + readBack(r_.FTMins) * 60 + readBack(r_.FTSecs));
        step_ = 16;
        const double T = finite((F0 - E1) - readBack(r_.variation));
        step_ = 17;
        store(r_.FTHrs, wholeDiv(wholeDiv(T, 60), 60));
        const double Y = finite(T - readBack(r_.FTHrs) * 60 * 60);
        store(r_.FTMins, wholeDiv(Y, 60));
        store(r_.FTSecs, Y - readBack(r_.FTMins) * 60);
        step_ = 18;
        const double F =
            finite(readBack(r_.FTHrs) * 60 * 60 + readBack(r_.FTMins) * 60 + readBack(r_.FTSecs));
        step_ = 19;
        const double distance = num(f_.sixtieths, "sixtieths");
        const double velocity = store(r_.velocity, divide(distance, F));
        step_ = 20;
        store(r_.Textcon2, distance / 60 / 1760);
        step_ = 21;
        const double miles = store(r_.miles, truncateNumber(readBack(r_.Textcon2)));
        step_ = 22;
        const double inSixtieths = store(r_.textcon4, miles * 1760 * 60);
        step_ = 23;
        const double rest = store(r_.textcon5, distance - inSixtieths);
        step_ = 24;
        store(r_.yards, rest / 60);
        step_ = 25;
        store(r_.Text1, velocity * 60 / 1760);
    }

    int step() const { return step_; }

private:
    double num(const QString& text, const char* field) const {
        if (const std::optional<double> value = textToNumber(text))
            return *value;
        throw Stop{VelocityFault::NotANumber, QString::fromLatin1(field)};
    }

    double time(const QString& h, const char* hn, const QString& m, const char* mn,
                const QString& s, const char* sn) const {
        return finite(num(h, hn) * 3600 + num(m, mn) * 60 + num(s, sn));
    }

    static double finite(double value) {
        if (!std::isfinite(value))
            throw Stop{VelocityFault::Overflow, {}};
        return value;
    }

    static double divide(double a, double b) {
        if (b == 0)
            throw Stop{VelocityFault::DivisionByZero, {}};
        return finite(a / b);
    }

    static double wholeDiv(double a, double b) {
        if (const std::optional<double> q = wholeDivide(a, b))
            return *q;
        throw Stop{VelocityFault::Overflow, {}};
    }

    // Writes a result as general number text and gives back the value the
    // text stands for.
    static double store(std::optional<QString>& field, double value) {
        field = generalNumberText(finite(value));
        return readBack(field);
    }

    static double readBack(const std::optional<QString>& field) {
        return textToNumber(*field).value_or(0.0);
    }

    const CalculatorFields& f_;
    VelocityResult& r_;
    int step_ = 0;
};

} // namespace

VelocityResult calculateVelocity(const CalculatorFields& fields) {
    VelocityResult result;
    Steps steps(fields, result);
    try {
        steps.run();
    } catch (const Stop& stop) {
        result.fault = stop.fault;
        result.failedStep = steps.step();
        result.failedField = stop.field;
    }
    return result;
}

} // namespace pellamy
