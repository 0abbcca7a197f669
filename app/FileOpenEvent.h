#pragma once

#include <QEvent>
#include <QUrl>

// The program's own form of the operating system's request to open a file, sent straight to
// the application object once the main window exists.
class FileOpenEvent : public QEvent
{
public:
    static constexpr QEvent::Type Type = QEvent::Type(QEvent::User + 21);

    explicit FileOpenEvent(const QUrl &url);
    ~FileOpenEvent() override;

    QUrl url;
};
