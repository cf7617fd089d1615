#include "SCSheet.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {

SCScopedSheetAnswers* gAnswers = nullptr;

} // namespace

SCScopedSheetAnswers::SCScopedSheetAnswers(std::vector<int> returnCodes)
    : mReturnCodes(returnCodes.begin(), returnCodes.end()), mPrevious(gAnswers) {
    gAnswers = this;
}

SCScopedSheetAnswers::~SCScopedSheetAnswers() {
    gAnswers = mPrevious;
}

std::vector<QString> SCScopedSheetAnswers::titles() const {
    std::vector<QString> titles;
    for (const SCSheetRequest& request : mAsked) {
        titles.push_back(request.title);
    }
    return titles;
}

void SCBeginSheet(QWidget* window, const SCSheetRequest& request,
                  std::function<void(int returnCode)> didEnd) {
    QWidget* owner = window ? window->window() : nullptr;
    if (gAnswers) {
        gAnswers->mAsked.push_back(request);
        int returnCode = kSCSheetDefaultReturn;
        if (!gAnswers->mReturnCodes.empty()) {
            returnCode = gAnswers->mReturnCodes.front();
            gAnswers->mReturnCodes.pop_front();
        }
        // The answer comes later, as the user's would: the caller finishes what it began first.
        QPointer<QWidget> guard(owner);
        const bool hadOwner = owner != nullptr;
        QTimer::singleShot(0, qApp, [guard, hadOwner, didEnd, returnCode] {
            if (didEnd && (!hadOwner || guard)) {
                didEnd(returnCode);
            }
        });
        return;
    }

    auto* box = new QMessageBox(owner);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setIcon(QMessageBox::Warning);
    box->setWindowTitle(request.title);
    box->setText(request.title);
    box->setInformativeText(request.message);
    QPushButton* defaultButton = box->addButton(request.defaultButton, QMessageBox::AcceptRole);
    QPushButton* alternateButton =
        request.alternateButton.isEmpty()
            ? nullptr
            : box->addButton(request.alternateButton, QMessageBox::DestructiveRole);
    QPushButton* otherButton = request.otherButton.isEmpty()
                                   ? nullptr
                                   : box->addButton(request.otherButton, QMessageBox::RejectRole);
    box->setDefaultButton(defaultButton);
    box->setEscapeButton(otherButton ? otherButton : defaultButton);
    box->setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
    QObject::connect(box, &QMessageBox::finished, box, [box, alternateButton, otherButton, didEnd] {
        const QAbstractButton* clicked = box->clickedButton();
        const int returnCode = clicked && clicked == alternateButton ? kSCSheetAlternateReturn
                               : clicked && clicked == otherButton   ? kSCSheetOtherReturn
                                                                     : kSCSheetDefaultReturn;
        if (didEnd) {
            didEnd(returnCode);
        }
    });
    box->open();
}

QMessageBox* SCOpenSheet(QWidget* window) {
    if (!window) {
        return nullptr;
    }
    const auto boxes = window->window()->findChildren<QMessageBox*>(Qt::FindDirectChildrenOnly);
    for (QMessageBox* box : boxes) {
        if (box->isVisible()) {
            return box;
        }
    }
    return nullptr;
}
