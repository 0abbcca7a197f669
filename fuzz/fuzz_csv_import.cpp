// Feeds arbitrary bytes to the CSV importer, into an emptied plan and into one that already
// holds cards; then exports what was imported. Nothing may crash, hang or leak. Each input
// starts from the same plan and stays in memory, so a finding replays on its own, and an input
// that leaves nothing behind spares the fuzzer's leak check.
#include "FuzzSupport.h"
#include "model/Document.h"
#include "storage/CsvExport.h"
#include "storage/CsvImport.h"
#include "tests/storage/PlanSamples.h"

#include <cstdlib>

#include <QBuffer>

namespace {

// The open plan every input is imported into: awkward names and values, a numeric property,
// links, pictures and stored views.
const Document *openPlan = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    initializeFuzzApplication(argc, argv);
    Document *plan = new Document;
    PlanSamples::fillVariedPlan(*plan);
    openPlan = plan;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    QBuffer input;
    input.setData(reinterpret_cast<const char *>(data), int(size));
    input.open(QIODevice::ReadOnly);
    Document plan(*openPlan);
    QString error;
    const bool clearFirst = size > 0 && (data[0] & 1);
    // The bytes can always be read; they may only be refused as too large a plan.
    if (!importCsvFile(plan, &input, QStringLiteral("input.csv"), clearFirst, &error)
        && !error.endsWith(QLatin1String("holds more cards and properties than can be opened.")))
        abort();
    // Exporting costs more than importing; every other input is enough to reach it.
    if (size == 0 || !(data[0] & 2))
        return 0;
    QBuffer output;
    output.open(QIODevice::WriteOnly);
    bool usedUnicode = false;
    if (!writeCsvText(plan, &output, plan.taskIndexes(), &usedUnicode))
        abort();
    return 0;
}
