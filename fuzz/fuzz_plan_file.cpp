// Feeds arbitrary bytes to the plan-file reader, and writes back what it accepted: neither
// may crash, hang or leak, and a plan that could not be read stays untouched. Inputs stay in
// memory.
#include "FuzzSupport.h"
#include "model/Document.h"
#include "storage/PlanFileReader.h"
#include "storage/PlanFileWriter.h"

#include <cstdlib>

#include <QBuffer>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    initializeFuzzApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    QBuffer input;
    input.setData(reinterpret_cast<const char *>(data), int(size));
    input.open(QIODevice::ReadOnly);
    Document document;
    const Document before(document);
    QString error;
    bool laterVersion = false;
    if (!readPlanFile(document, &input, QStringLiteral("input.tv"), &error, &laterVersion)) {
        if (document != before || error.isEmpty())
            abort();
        return 0;
    }
    planFileText(document);
    return 0;
}
