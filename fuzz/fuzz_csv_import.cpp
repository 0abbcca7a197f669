// Feeds arbitrary bytes to the CSV importer, into an emptied plan and into one that already
// holds cards; then exports what was imported. Nothing may crash, hang or leak.
#include "FuzzSupport.h"
#include "model/Document.h"
#include "storage/CsvExport.h"
#include "storage/CsvImport.h"

#include <cstdlib>

namespace {

// The plan the inputs are imported into; it carries what earlier inputs left.
Document *plan = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    initializeFuzzApplication(argc, argv);
    plan = new Document;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    const QString path = writeFuzzInput(data, size, QStringLiteral("csv"));
    QString error;
    const bool clearFirst = size > 0 && (data[0] & 1);
    // The file exists, so it can always be read; it may only be refused as too large a plan.
    if (!importCsvFile(*plan, path, clearFirst, &error)
        && !error.endsWith(QLatin1String("holds more cards and properties than can be opened.")))
        abort();
    // Keep the open plan small between inputs.
    if (plan->taskCount() > 50 || plan->propertyCount() > 50)
        plan->clear(false);
    // Exporting costs more than importing; every other input is enough to reach it.
    if (size == 0 || !(data[0] & 2))
        return 0;
    bool usedUnicode = false;
    if (!exportCsvFile(*plan, path + QStringLiteral(".out"), plan->taskIndexes(), &usedUnicode,
                       &error))
        abort();
    return 0;
}
