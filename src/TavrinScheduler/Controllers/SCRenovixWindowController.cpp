#include "SCRenovixWindowController.h"

#include "FourCharCode.h"
#include "QorProducts.h"
#include "SCLocalizedString.h"
#include "SCProductPaths.h"
#include "SCStringKeys.h"
#include "SCTaskDataModel.h"
#include "SCUpdateEventData.h"

#include <QComboBox>

namespace {

const char* const kAllProductsKey = QT_TRANSLATE_NOOP("Localizable", "All Products");

// The product names are shown as they are; the two other titles are localized.
constexpr char kOmbrixTitle[] = "Tavrin Ombrix";
constexpr char kGearboxTitle[] = "Tavrin Gearbox";
constexpr char kPalisadeTitle[] = "Tavrin Palisade";
constexpr char kRenovixTitle[] = "Renovix";
constexpr char kVeilguardTitle[] = "Tavrin Veilguard";

struct ProductRow {
    QString title;
    const char* argument;
};

// The menu's rows, in the order shown, with the update application's argument of each.
std::vector<ProductRow> productRows() {
    return {
        {SCLocalizedString(kAllProductsKey), kSCUpdateAll},
        {SCLocalizedString(kSCVirusDefinitionsKey), kSCUpdateDefinitions},
        {QLatin1String(kOmbrixTitle), kSCUpdateOmbrix},
        {QLatin1String(kGearboxTitle), kSCUpdateGearbox},
        {QLatin1String(kPalisadeTitle), kSCUpdatePalisade},
        {QLatin1String(kVeilguardTitle), kSCUpdateVeilguard},
        {QLatin1String(kRenovixTitle), kSCUpdateRenovix},
    };
}

void removeRow(QComboBox* menu, const QString& title) {
    const int index = menu->findText(title);
    if (index >= 0) {
        menu->removeItem(index);
    }
}

} // namespace

SCRenovixWindowController* SCRenovixWindowController::sharedInfoWindowControllerWithTable(
    QTableView* table, std::shared_ptr<SCTaskDataModel> task, QWidget* parent) {
    return sharedEditor<SCRenovixWindowController>(table, std::move(task),
                                                   SCLocalizedString(kSCProductUpdateKey), parent);
}

SCRenovixWindowController::SCRenovixWindowController(QWidget* parent)
    : SCWindowControllerBase(parent) {}

bool SCRenovixWindowController::init() {
    if (!initWithModuleName(QStringLiteral("Renovix")) || !mProductButton) {
        return false;
    }
    setProductIcon(QStringLiteral(":/icons/RV_app_icon.svg"));
    return true;
}

void SCRenovixWindowController::awakeFromNib() {
    mProductButton = findChild<QComboBox*>(QStringLiteral("productButton"));
    if (mProductButton) {
        populateProductMenu();
    }
    SCWindowControllerBase::awakeFromNib();
}

void SCRenovixWindowController::populateProductMenu() {
    mProductButton->clear();
    for (const ProductRow& row : productRows()) {
        mProductButton->addItem(row.title);
    }
    if (!IsModuleInstalled(0, kDiskmatePath, nullptr)) {
        removeRow(mProductButton, QLatin1String(kGearboxTitle));
    }
    if (!IsModuleInstalled(0, GetScheduledScanPath(), nullptr)) {
        removeRow(mProductButton, QLatin1String(kOmbrixTitle));
        removeRow(mProductButton, SCLocalizedString(kSCVirusDefinitionsKey));
    }
    if (!IsModuleInstalled(kPalisadeCreatorCode, nullptr, nullptr)) {
        removeRow(mProductButton, QLatin1String(kPalisadeTitle));
    }
    if (!IsModuleInstalled(kVeilguardCreatorCode, nullptr, nullptr)) {
        removeRow(mProductButton, QLatin1String(kVeilguardTitle));
    }
}

void SCRenovixWindowController::settheEvent(const QString& title) {
    mTheEventData.clear();
    for (const ProductRow& row : productRows()) {
        if (row.title == title) {
            mTheEventData = SCUpdateEventData(row.argument);
            return;
        }
    }
}

QString SCRenovixWindowController::selectPopUp(const QString& eventData) {
    for (const ProductRow& row : productRows()) {
        if (eventData == SCUpdateEventData(row.argument)) {
            return row.title;
        }
    }
    return QString();
}

void SCRenovixWindowController::populateFields() {
    SCWindowControllerBase::populateFields();
    if (!existingTask()) {
        return;
    }
    const QString title = selectPopUp(existingTask()->mEventData());
    mProductButton->setCurrentIndex(title.isNull() ? -1 : mProductButton->findText(title));
    mExistingProductTitle = mProductButton->currentText();
}

bool SCRenovixWindowController::isEventDataChanged() const {
    return existingTask() && mProductButton->currentText() != mExistingProductTitle;
}

int32_t SCRenovixWindowController::saveTask() {
    settheEvent(mProductButton->currentText());
    mAEClass = QorCode("aevt");
    mAEEventID = QorCode("oapp");
    mEventType1 = 1;
    mEventType2 = -1;
    mCreator = QorCode("    ");
    setmExecPath(gRenovixExecPath.value_or(QString()));
    mSchedArgs = "u";
    setmEventData(mTheEventData);
    return SCWindowControllerBase::saveTask();
}
