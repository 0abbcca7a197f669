#pragma once

#include <QDialog>

namespace Ui {
class StoredAppearanceDialog;
}

// "Add Stored Appearance": asks the name under which the Appearance section stores the plan's
// current Cards appearance, proposing the name it is already stored under and asking before
// an existing name is overwritten. Any name but an empty one is taken, "/" and "\" included.
class StoredAppearanceDialog : public QDialog
{
    Q_OBJECT

public:
    explicit StoredAppearanceDialog(QWidget *parent = nullptr);
    ~StoredAppearanceDialog() override;

    // The trimmed name that accept() took.
    QString name() const;

public slots:
    void accept() override;

private:
    Ui::StoredAppearanceDialog *m_ui;
};
