#include "common/core/UrlOpener.h"

#include <QDesktopServices>

namespace {

UrlOpenerFunction &currentOpener()
{
    static UrlOpenerFunction opener;
    return opener;
}

} // namespace

bool openUrl(const QUrl &url)
{
    if (currentOpener())
        return currentOpener()(url);
    return QDesktopServices::openUrl(url);
}

UrlOpenerFunction setUrlOpener(UrlOpenerFunction opener)
{
    UrlOpenerFunction previous = currentOpener();
    currentOpener() = std::move(opener);
    return previous;
}
