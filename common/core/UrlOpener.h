#pragma once

#include <functional>

#include <QUrl>

// Every web page and file the program hands to the desktop goes through here, so that tests
// can see what would have been opened instead of starting a browser.
bool openUrl(const QUrl &url);

using UrlOpenerFunction = std::function<bool(const QUrl &)>;
// Replaces the desktop hand-over; an empty function restores it. Returns the previous one.
UrlOpenerFunction setUrlOpener(UrlOpenerFunction opener);
