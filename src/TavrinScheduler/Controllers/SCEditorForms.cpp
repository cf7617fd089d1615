#include "SCEditorForms.h"

#include "ui_CustorixWindow.h"
#include "ui_DefragWindow.h"
#include "ui_OmbrixWindow.h"
#include "ui_RenovixWindow.h"

#include <functional>
#include <map>

namespace {

template <class Form> void setUp(QDialog* window) {
    Form form;
    form.setupUi(window);
}

} // namespace

bool SCLoadEditorForm(const QString& name, QDialog* window) {
    static const std::map<QString, std::function<void(QDialog*)>> forms = {
        {QStringLiteral("OmbrixWindow"), setUp<Ui::OmbrixWindow>},
        {QStringLiteral("CustorixWindow"), setUp<Ui::CustorixWindow>},
        {QStringLiteral("RenovixWindow"), setUp<Ui::RenovixWindow>},
        {QStringLiteral("DefragWindow"), setUp<Ui::DefragWindow>},
    };
    const auto form = forms.find(name);
    if (form == forms.end() || !window) {
        return false;
    }
    form->second(window);
    return true;
}
