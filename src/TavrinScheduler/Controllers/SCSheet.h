#pragma once

#include <QPointer>
#include <QString>

#include <deque>
#include <functional>
#include <vector>

class QMessageBox;
class QWidget;

/// Return codes of a sheet: its default button (also Escape when there is no other button),
/// its alternate button and its other button.
constexpr int kSCSheetDefaultReturn = 1;
constexpr int kSCSheetAlternateReturn = 0;
constexpr int kSCSheetOtherReturn = -1;

/// What a sheet says. Every text is already localized; an empty alternate or other button is
/// left out.
struct SCSheetRequest {
    QString title;
    QString defaultButton;
    QString alternateButton;
    QString otherButton;
    QString message;
};

/// Shows the sheet on window (modal to that window only) and returns at once; didEnd receives
/// the return code of the button the user chose, from the event loop.
void SCBeginSheet(QWidget* window, const SCSheetRequest& request,
                  std::function<void(int returnCode)> didEnd);

/// The sheet on window that is up now, or null.
QMessageBox* SCOpenSheet(QWidget* window);

/// For tests: while it lives, sheets are not shown but answered, from the event loop as a user
/// would, with the given return codes in order (kSCSheetDefaultReturn once they are used up),
/// and remembered.
class SCScopedSheetAnswers {
public:
    explicit SCScopedSheetAnswers(std::vector<int> returnCodes = {});
    ~SCScopedSheetAnswers();

    SCScopedSheetAnswers(const SCScopedSheetAnswers&) = delete;
    SCScopedSheetAnswers& operator=(const SCScopedSheetAnswers&) = delete;

    /// Answers for the next sheets, after those still waiting.
    void add(int returnCode) { mReturnCodes.push_back(returnCode); }
    /// The sheets shown so far, in order.
    const std::vector<SCSheetRequest>& asked() const { return mAsked; }
    /// The titles of those sheets.
    std::vector<QString> titles() const;

private:
    friend void SCBeginSheet(QWidget*, const SCSheetRequest&, std::function<void(int)>);

    std::deque<int> mReturnCodes;
    std::vector<SCSheetRequest> mAsked;
    SCScopedSheetAnswers* mPrevious;
};
