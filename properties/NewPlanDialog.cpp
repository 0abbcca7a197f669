#include "properties/NewPlanDialog.h"

#include "common/app/Accessors.h"
#include "common/core/BusyCursor.h"
#include "common/core/NumberDateText.h"
#include "common/core/SignalBlocker.h"
#include "common/widgets/DialogHelpers.h"
#include "common/widgets/MessageBoxes.h"
#include "model/Document.h"
#include "storage/PlanFileReader.h"
#include "ui_NewPlanDialog.h"

#include <QComboBox>

namespace {

constexpr int MaxRows = 20;
// As the property dialog allows, so that opening the property there never cuts its name.
constexpr int MaxNameLength = 30;

enum Column { NameColumn = 0, TypeColumn = 1, PredefinedColumn = 2, DefaultColumn = 3 };

} // namespace

NewPlanDialog::NewPlanDialog(QWidget *parent, const QStringList &planFiles)
    : QDialog(parent), m_ui(new Ui::NewPlanDialog)
{
    BusyCursor busy;
    m_ui->setupUi(this);
    prepareDialog(this);
    SignalBlocker blocker;
    blocker.add(m_ui->m_tableWidget);

    addRow(QStringLiteral("Title"), PropertyType::Text, QString(), QString(), true);
    bool filesHaveProperties = false;
    for (const QString &path : planFiles) {
        // A full table takes no more rows, and a file filled it.
        if (m_ui->m_tableWidget->rowCount() >= MaxRows)
            break;
        Document plan;
        QString error;
        bool laterVersion = false;
        if (!readPlanFile(plan, path, &error, &laterVersion))
            continue;
        filesHaveProperties = filesHaveProperties || plan.propertyCount() > 1;
        for (int property = 1; property < plan.propertyCount(); ++property)
            addRow(plan.propertyName(property), plan.propertyType(property),
                   plan.predefinedValues(property).join(QLatin1Char(',')),
                   plan.propertyDefaultValue(property), false);
    }
    addRow(QStringLiteral("Priority"), PropertyType::Text, QStringLiteral("high,medium,low"),
           QStringLiteral("medium"), !filesHaveProperties);
    addRow(QStringLiteral("Status"), PropertyType::Text, QStringLiteral("todo,doing,done,blocked"),
           QStringLiteral("todo"), !filesHaveProperties);
    addRow(QStringLiteral("Cost"), PropertyType::Numeric, QString(), QStringLiteral("0"), false);
    addRow(QStringLiteral("Due date"), PropertyType::Date, QString(), QString(), false);
    m_ui->m_tableWidget->resizeColumnsToContents();

    connect(m_ui->m_buttonBox, &QDialogButtonBox::accepted, this, &NewPlanDialog::accept);
    connect(m_ui->m_buttonBox, &QDialogButtonBox::rejected, this, &NewPlanDialog::reject);
}

NewPlanDialog::~NewPlanDialog()
{
    delete m_ui;
}

void NewPlanDialog::addRow(const QString &name, int type, const QString &predefinedValues,
                           const QString &defaultValue, bool ticked)
{
    QTableWidget *table = m_ui->m_tableWidget;
    const QString trimmed = name.trimmed();
    if (table->rowCount() >= MaxRows || m_names.contains(trimmed.toLower()))
        return;
    m_names.append(trimmed.toLower());
    const int row = table->rowCount();
    table->insertRow(row);

    auto *nameItem = new QTableWidgetItem(trimmed);
    nameItem->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEditable | Qt::ItemIsEnabled);
    nameItem->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    table->setItem(row, NameColumn, nameItem);

    auto *typeCombo = new QComboBox;
    typeCombo->setAttribute(Qt::WA_MacSmallSize);
    for (int declared = PropertyType::Automatic; declared <= PropertyType::Date; ++declared)
        typeCombo->addItem(propertyTypeName(declared));
    // A type code no dialog offers (a damaged file) is offered as Automatic.
    const bool known = type >= PropertyType::Automatic && type <= PropertyType::Date;
    typeCombo->setCurrentIndex(known ? type : PropertyType::Automatic);
    table->setCellWidget(row, TypeColumn, typeCombo);

    table->setItem(row, PredefinedColumn, new QTableWidgetItem(predefinedValues.trimmed()));
    table->setItem(row, DefaultColumn, new QTableWidgetItem(defaultValue.trimmed()));
}

void NewPlanDialog::accept()
{
    struct NewProperty
    {
        QString name;
        int type;
        QStringList predefinedValues;
        QString defaultValue;
    };
    const QTableWidget *table = m_ui->m_tableWidget;
    Document *plan = doc();
    QList<NewProperty> properties;
    QStringList namesAbove;
    for (int row = 0; row < table->rowCount(); ++row) {
        if (table->item(row, NameColumn)->checkState() != Qt::Checked)
            continue;
        NewProperty property;
        property.name = table->item(row, NameColumn)->text().trimmed();
        QString refusal;
        if (property.name.isEmpty())
            refusal = tr("You can't add a property with no name.");
        else if (property.name.size() > MaxNameLength)
            refusal = tr("The maximum property name length is %1 characters.").arg(MaxNameLength);
        else if (!Property::reservedName(property.name).isEmpty())
            refusal = tr("\"%1\" is a reserved name.").arg(Property::reservedName(property.name));
        else if (namesAbove.contains(property.name.toLower()))
            refusal = tr("You can't add 2 properties called '%1' (case is not important).")
                          .arg(property.name);
        else if (plan->propertyIndex(property.name) != -1)
            refusal = tr("A property with the name '%1' already exists.").arg(property.name);
        if (!refusal.isEmpty()) {
            criticalMessage(this, refusal, QMessageBox::Ok);
            return;
        }
        namesAbove.append(property.name.toLower());

        // "high, low": the blank after a comma belongs to no value.
        const QString predefined = table->item(row, PredefinedColumn)->text().trimmed();
        if (!predefined.isEmpty()) {
            for (const QString &part : predefined.split(QLatin1Char(',')))
                property.predefinedValues.append(part.trimmed());
        }
        property.type
            = qobject_cast<const QComboBox *>(table->cellWidget(row, TypeColumn))->currentIndex();
        property.defaultValue = table->item(row, DefaultColumn)->text().trimmed();
        properties.append(property);
    }

    bool first = true;
    for (const NewProperty &property : qAsConst(properties)) {
        // Only the first property shows on the cards, so that a new plan's cards stay readable.
        plan->addProperty(property.name, property.defaultValue, property.type,
                          property.predefinedValues,
                          first ? PropertyVisibility::Text : PropertyVisibility::Hidden,
                          PropertyAppearance(), true);
        first = false;
    }
    QDialog::accept();
}
