// Reads the Distances table of an Access (Jet 3 or Jet 4) database and
// writes its rows to standard output as JSON: {"rows": [[Name, Racepoint,
// Miles, Yards, Sixtieths], ...]}, every value as text, numbers in general
// number text, NULL as an empty text.
//
//   pellamy-access-reader FILE
//
// Pellamy runs it as a separate process, so that a damaged file cannot take
// the program down with it. Exit status: 0 every row was read; 2 no table
// Distances; 3 the file cannot be read, or not all of it (a page could not
// be read, or fewer rows were found than the table says it holds); 4 the
// table lacks a column.

#include "calc/numbers.h"
#include "calc/textforms.h"

// mdbtools.h includes glib.h inside extern "C", which C++ does not allow:
// glib.h comes first.
#include <glib.h>
extern "C" {
#include <mdbtools.h>
}

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <cstdio>
#include <strings.h>
#include <unistd.h>
#include <vector>

namespace {

bool isNumber(int type) {
    switch (type) {
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
    case MDB_MONEY:
    case MDB_FLOAT:
    case MDB_DOUBLE:
    case MDB_NUMERIC:
        return true;
    default:
        return false;
    }
}

int fail(int status, const char* message) {
    std::fprintf(stderr, "%s\n", message);
    return status;
}

// libmdb reports a page it cannot read on standard error and carries on as
// if the table ended there. Its reports are gathered in a file of their own:
// any report means the rows are not all there.
class LibraryReports {
public:
    LibraryReports() : file_(std::tmpfile()), saved_(dup(STDERR_FILENO)) {
        if (file_ && saved_ >= 0)
            dup2(fileno(file_), STDERR_FILENO);
    }
    ~LibraryReports() { restore(); }
    // Restores standard error and says whether libmdb reported anything,
    // passing its reports on.
    bool restore() {
        if (saved_ < 0)
            return false;
        std::fflush(stderr);
        dup2(saved_, STDERR_FILENO);
        close(saved_);
        saved_ = -1;
        if (!file_)
            return false;
        const long size = std::ftell(file_);
        std::rewind(file_);
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file_)) > 0)
            std::fwrite(buffer, 1, n, stderr);
        std::fclose(file_);
        file_ = nullptr;
        return size > 0;
    }

private:
    std::FILE* file_;
    int saved_;
};

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2)
        return fail(1, "usage: pellamy-access-reader FILE");
    LibraryReports reports;
    MdbHandle* mdb = mdb_open(argv[1], MDB_NOFLAGS);
    if (!mdb)
        return fail(3, "the file cannot be opened as an Access database");
    // Every Access database lists its own system tables: a list without any
    // has not been read.
    if (!mdb_read_catalog(mdb, MDB_TABLE) || mdb->num_catalog == 0) {
        mdb_close(mdb);
        return fail(3, "the file's list of tables cannot be read");
    }
    MdbCatalogEntry* distances = nullptr;
    for (unsigned i = 0; i < mdb->num_catalog && !distances; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type == MDB_TABLE && strcasecmp(entry->object_name, "Distances") == 0)
            distances = entry;
    }
    if (!distances) {
        mdb_close(mdb);
        // A catalog that could not be read whole may have lost the table.
        if (reports.restore())
            return fail(3, "a page of the file could not be read");
        return fail(2, "there is no table Distances");
    }
    MdbTableDef* table = mdb_read_table(distances);
    if (!table || !mdb_read_columns(table)) {
        mdb_close(mdb);
        return fail(3, "the table Distances cannot be read");
    }

    // The five columns by name, in any letter case and any order.
    const char* names[] = {"Name", "Racepoint", "Miles", "Yards", "Sixtieths"};
    int source[5] = {-1, -1, -1, -1, -1};
    std::vector<char*> values(table->num_cols);
    std::vector<int> lengths(table->num_cols);
    std::vector<int> types(table->num_cols);
    for (unsigned c = 0; c < table->num_cols; ++c) {
        auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, c));
        types[c] = column->col_type;
        for (int k = 0; k < 5; ++k)
            if (strcasecmp(column->name, names[k]) == 0)
                source[k] = int(c);
        values[c] = static_cast<char*>(g_malloc0(MDB_BIND_SIZE));
        mdb_bind_column(table, int(c) + 1, values[c], &lengths[c]);
    }
    for (int k = 0; k < 5; ++k)
        if (source[k] < 0) {
            if (reports.restore())
                return fail(3, "a page of the file could not be read");
            std::fprintf(stderr, "the table Distances has no column %s\n", names[k]);
            return 4;
        }

    QJsonArray rows;
    const unsigned expected = table->num_rows;
    mdb_rewind_table(table);
    while (mdb_fetch_row(table)) {
        QJsonArray row;
        for (int k = 0; k < 5; ++k) {
            const int c = source[k];
            QString text = lengths[c] > 0 ? QString::fromUtf8(values[c], lengths[c]) : QString();
            if (!text.isEmpty() && isNumber(types[c]))
                if (const std::optional<double> number = pellamy::textToNumber(text))
                    text = pellamy::generalNumberText(*number);
            row.append(text);
        }
        rows.append(row);
    }
    for (char* value : values)
        g_free(value);
    mdb_free_tabledef(table);
    mdb_close(mdb);
    if (reports.restore())
        return fail(3, "a page of the file could not be read");
    if (unsigned(rows.size()) != expected) {
        std::fprintf(stderr, "the table Distances holds %u rows, but %u could be read\n", expected,
                     unsigned(rows.size()));
        return 3;
    }

    const QByteArray json =
        QJsonDocument(QJsonObject{{"rows", rows}}).toJson(QJsonDocument::Compact);
    std::fwrite(json.constData(), 1, std::size_t(json.size()), stdout);
    return 0;
}
