#include "common/widgets/Prompts.h"

#include "common/widgets/MessageBoxes.h"
#include "common/widgets/Settings.h"
#include "common/widgets/WidgetContext.h"
#include "model/Document.h"

#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>

void warnHiddenByFilter(Document &document, int count, const QString &adjective,
                        const std::function<void()> &removePaneFilter)
{
    Settings *settings = WidgetContext::settings();
    if (!settings->read(Settings::Key::ShowQuestionFilter).toBool())
        return;
    const bool one = count == 1;
    const QString text = QStringLiteral("%1 %2 %3 hidden by the current filter.")
                             .arg(QString::number(count), adjective,
                                  one ? QStringLiteral("card is") : QStringLiteral("cards are"));
    QMessageBox box(QMessageBox::Warning, QString(), QString(), QMessageBox::NoButton,
                    QApplication::activeWindow());
    setMessageText(box, text);
    QPushButton *hide = box.addButton(
        one ? QStringLiteral("Hide card") : QStringLiteral("Hide cards"), QMessageBox::AcceptRole);
    QPushButton *removeFilter
        = box.addButton(QStringLiteral("Remove filter"), QMessageBox::AcceptRole);
    box.setDefaultButton(hide);
    box.setEscapeButton(hide);
    box.setCheckBox(new QCheckBox(QStringLiteral("Don't show this again")));
    execMessageBox(box);
    if (box.checkBox()->isChecked())
        settings->write(Settings::Key::ShowQuestionFilter, false);
    if (box.clickedButton() != removeFilter)
        return;
    if (removePaneFilter)
        removePaneFilter();
    else
        document.clearFilter(true);
}

Document::ViewNames offerRenameInStoredViews(const Document &document, QWidget *parent,
                                             int property, const QString &newName,
                                             const std::function<bool()> &mayAsk)
{
    const QString oldName = document.propertyName(property);
    // Every name contains the empty text; replacing it would scatter the new name through
    // every view name.
    if (oldName == newName || oldName.isEmpty())
        return Document::ViewNames::Keep;
    int count = 0;
    QString example;
    for (const Slice &view : document.storedViews()) {
        if (!view.name.contains(oldName, Qt::CaseSensitive))
            continue;
        if (count++ == 0)
            example = QStringLiteral("'%1' -> '%2'")
                          .arg(view.name,
                               QString(view.name).replace(oldName, newName, Qt::CaseSensitive));
    }
    if (count == 0 || (mayAsk && !mayAsk()))
        return Document::ViewNames::Keep;
    const QString question
        = QStringLiteral("Do you want to update '%1' to '%2' in the names of %3 stored "
                         "view(s)?\nE.g.: %4")
              .arg(oldName, newName, QString::number(count), example);
    if (warningWithDontShowAgain(parent, "show_warning_update_stored_view_name", question,
                                 QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok)
        != QMessageBox::Ok)
        return Document::ViewNames::Keep;
    return Document::ViewNames::Follow;
}
