#include "app/FileOpenEvent.h"

FileOpenEvent::FileOpenEvent(const QUrl &url) : QEvent(Type), url(url) { }

FileOpenEvent::~FileOpenEvent() = default;
