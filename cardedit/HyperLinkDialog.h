#pragma once

#include <QDialog>

namespace Ui {
class HyperLinkDialog;
}

// Adds, edits or deletes one link of a card: its address and the name shown for it. While
// adding, the name follows the address until the user types a name of their own.
class HyperLinkDialog : public QDialog
{
    Q_OBJECT

public:
    HyperLinkDialog(QWidget *parent, const QString &url, const QString &name, bool addMode);
    ~HyperLinkDialog() override;

    // Both as typed, untrimmed.
    QString name() const;
    QString url() const;
    // The user chose "Delete Link"; the dialog was then rejected.
    bool isDeleted() const { return m_deleted; }

private slots:
    void onDeleteClicked();
    void onNameEdit();
    void onUrlEdit();

private:
    void updateOkButton();

    Ui::HyperLinkDialog *m_ui;
    bool m_deleted = false;
    bool m_addMode;
};
