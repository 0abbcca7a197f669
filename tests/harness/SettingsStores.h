#pragma once

#include <memory>

#include <QString>
#include <QTemporaryDir>

// The two stores of the preferences for the tests that move them between the platform store
// and the portable file: each case starts on an empty platform store with the application
// folder in a fresh folder of its own, and a regular file put where a store's folder should
// be makes a move there fail, whoever runs the test.
class SettingsStores
{
public:
    // Where the platform store keeps its file under the test's own configuration folder.
    static QString platformStoreFolder();

    // For init(): false when the preferences could not go back to the platform store.
    bool start();
    // For cleanup(): removes the platform store's blocker, where a case made one.
    void finish() const;

    // A path in the case's application folder.
    QString appFilePath(const QString &name) const;
    // Puts a regular file where the folder of the portable file (inside the application
    // folder, once the test points the application folder below it) or of the platform store
    // should be. Its path, or an empty text when it could not be made.
    QString blockStore(bool portable) const;

private:
    std::unique_ptr<QTemporaryDir> m_appFolder;
};
