#include "SCTestMain.h"
#include "SCTestVolumes.h"
#include "XDragFileTextField.h"
#include "XDragFileTextFieldFormatted.h"
#include "XDragFileTxtFldFormNoNetwork.h"
#include "XVolumePathFormatter.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QUrl>
#include <QVBoxLayout>

#include <memory>

namespace {

enum class Kind { Plain, Formatted, LocalOnly };

std::unique_ptr<XDragFileTextField> makeField(Kind kind) {
    switch (kind) {
    case Kind::Plain:
        return std::make_unique<XDragFileTextField>();
    case Kind::Formatted:
        return std::make_unique<XDragFileTextFieldFormatted>();
    case Kind::LocalOnly:
        return std::make_unique<XDragFileTxtFldFormNoNetwork>();
    }
    return nullptr;
}

std::unique_ptr<QMimeData> filesData(const QStringList& paths) {
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& path : paths) {
        urls << QUrl::fromLocalFile(path);
    }
    data->setUrls(urls);
    return data;
}

/// Sends a drag that enters the widget and, when drop is set, drops on it; else leaves it.
/// Answers whether the drag was accepted on entering.
bool drag(QWidget* target, const QMimeData* data, bool drop,
          Qt::DropActions allowed = Qt::CopyAction | Qt::MoveAction) {
    const QPoint inside = target->rect().center();
    QDragEnterEvent enter(inside, allowed, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) {
        return false;
    }
    QDragMoveEvent move(inside, allowed, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &move);
    if (drop) {
        QDropEvent dropEvent(QPointF(inside), allowed, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &dropEvent);
    } else {
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(target, &leave);
    }
    return true;
}

} // namespace

Q_DECLARE_METATYPE(Kind)

class tst_XDragFileTextField : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SCTest::quietOffscreenWarnings(); }
    void whatIsAccepted_data();
    void whatIsAccepted();
    void dropSetsTheFirstFileAsIfTyped();
    void volumeRootShowsItsNameInBoldButKeepsThePath_data();
    void volumeRootShowsItsNameInBoldButKeepsThePath();
    void dropWhileTypingReplacesTheTextAndResumesTyping();
    void editabilityComesBackAsItWas_data();
    void editabilityComesBackAsItWas();
    void formatter();
};

void tst_XDragFileTextField::whatIsAccepted_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("offer"); // "local", "network", "text", "remote url"
    QTest::addColumn<bool>("copyAllowed");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("local file, plain field") << Kind::Plain << "local" << true << true;
    QTest::newRow("local file, local-only field") << Kind::LocalOnly << "local" << true << true;
    QTest::newRow("network file, plain field") << Kind::Plain << "network" << true << true;
    QTest::newRow("network file, formatted field") << Kind::Formatted << "network" << true << true;
    QTest::newRow("network file, local-only field")
        << Kind::LocalOnly << "network" << true << false;
    QTest::newRow("text only") << Kind::Plain << "text" << true << false;
    QTest::newRow("text only, local-only field") << Kind::LocalOnly << "text" << true << false;
    QTest::newRow("remote address") << Kind::Plain << "remote url" << true << false;
    QTest::newRow("source forbids copying") << Kind::Plain << "local" << false << false;
    QTest::newRow("source forbids copying, local-only field")
        << Kind::LocalOnly << "local" << false << false;
}

void tst_XDragFileTextField::whatIsAccepted() {
    QFETCH(Kind, kind);
    QFETCH(QString, offer);
    QFETCH(bool, copyAllowed);
    QFETCH(bool, accepted);
    SCTestVolumes volumes;
    auto field = makeField(kind);
    field->setText(QStringLiteral("unchanged"));

    QMimeData data;
    if (offer == "local") {
        data.setUrls({QUrl::fromLocalFile(volumes.localFile())});
    } else if (offer == "network") {
        data.setUrls({QUrl::fromLocalFile(volumes.networkFile())});
    } else if (offer == "text") {
        data.setText(volumes.localFile());
    } else {
        data.setUrls({QUrl(QStringLiteral("sftp://server/home/notes.txt"))});
    }
    const Qt::DropActions allowed = copyAllowed ? Qt::CopyAction | Qt::MoveAction : Qt::MoveAction;
    QCOMPARE(drag(field.get(), &data, true, allowed), accepted);
    QCOMPARE(field->stringValue(),
             accepted ? (offer == "local" ? volumes.localFile() : volumes.networkFile())
                      : QStringLiteral("unchanged"));
    QVERIFY(!field->isReadOnly());
}

void tst_XDragFileTextField::dropSetsTheFirstFileAsIfTyped() {
    SCTestVolumes volumes;
    XDragFileTextField field;
    QSignalSpy edited(&field, &QLineEdit::textEdited);
    auto data = filesData({volumes.localFile(), volumes.networkFile()});
    QVERIFY(drag(&field, data.get(), true));
    QCOMPARE(field.text(), volumes.localFile());
    QCOMPARE(edited.count(), 1);
    QCOMPARE(edited.at(0).at(0).toString(), volumes.localFile());
}

void tst_XDragFileTextField::volumeRootShowsItsNameInBoldButKeepsThePath_data() {
    QTest::addColumn<bool>("byDrop"); // else typed and the typing ended
    QTest::newRow("dropped") << true;
    QTest::newRow("typed") << false;
}

void tst_XDragFileTextField::volumeRootShowsItsNameInBoldButKeepsThePath() {
    QFETCH(bool, byDrop);
    SCTestVolumes volumes;
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* field = new XDragFileTxtFldFormNoNetwork(&window);
    auto* other = new QPushButton(QStringLiteral("Other"), &window);
    layout->addWidget(field);
    layout->addWidget(other);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    if (byDrop) {
        other->setFocus();
        auto data = filesData({volumes.dataVolume()});
        QVERIFY(drag(field, data.get(), true));
    } else {
        field->setFocus();
        QTest::keyClicks(field, volumes.dataVolume());
        other->setFocus();
    }
    QCOMPARE(field->text(), QStringLiteral("Data"));
    QVERIFY(field->font().bold());
    QCOMPARE(field->stringValue(), volumes.dataVolume());

    // Editing shows the full path, drawn plainly.
    field->setFocus();
    QCOMPARE(field->text(), volumes.dataVolume());
    QVERIFY(!field->font().bold());
    QCOMPARE(field->stringValue(), volumes.dataVolume());

    // A folder inside the volume is shown as it is.
    field->selectAll();
    QTest::keyClicks(field, volumes.dataVolume() + QStringLiteral("/Projects"));
    other->setFocus();
    QCOMPARE(field->text(), volumes.dataVolume() + QStringLiteral("/Projects"));
    QVERIFY(!field->font().bold());
}

void tst_XDragFileTextField::dropWhileTypingReplacesTheTextAndResumesTyping() {
    SCTestVolumes volumes;
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* field = new XDragFileTextFieldFormatted(&window);
    layout->addWidget(field);
    layout->addWidget(new QPushButton(QStringLiteral("Other"), &window));
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    field->setFocus();
    QTest::keyClicks(field, QStringLiteral("/half typ"));
    QVERIFY(field->hasFocus());

    auto data = filesData({volumes.localFile()});
    const QPoint inside = field->rect().center();
    QDragEnterEvent enter(inside, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(field, &enter);
    QVERIFY(enter.isAccepted());
    // While the drag is over it, the field neither types nor edits.
    QVERIFY(!field->hasFocus());
    QVERIFY(field->isReadOnly());
    QVERIFY(field->wasEditting());

    QDropEvent drop(QPointF(inside), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(field, &drop);
    QVERIFY(drop.isAccepted());
    QVERIFY(field->hasFocus());
    QVERIFY(!field->isReadOnly());
    QCOMPARE(field->text(), volumes.localFile());
    QCOMPARE(field->cursorPosition(), int(volumes.localFile().size()));
    // Typing goes on where the path ends.
    QTest::keyClicks(field, QStringLiteral(".bak"));
    QCOMPARE(field->stringValue(), volumes.localFile() + QStringLiteral(".bak"));
}

void tst_XDragFileTextField::editabilityComesBackAsItWas_data() {
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<bool>("drop");
    QTest::newRow("editable, dropped") << false << true;
    QTest::newRow("editable, left") << false << false;
    QTest::newRow("read-only, dropped") << true << true;
    QTest::newRow("read-only, left") << true << false;
}

void tst_XDragFileTextField::editabilityComesBackAsItWas() {
    QFETCH(bool, readOnly);
    QFETCH(bool, drop);
    SCTestVolumes volumes;
    XDragFileTextField field;
    field.setReadOnly(readOnly);
    auto data = filesData({volumes.localFile()});
    QVERIFY(drag(&field, data.get(), drop));
    QCOMPARE(field.isReadOnly(), readOnly);
    QCOMPARE(field.text(), drop ? volumes.localFile() : QString());
}

void tst_XDragFileTextField::formatter() {
    SCTestVolumes volumes;
    XVolumePathFormatter formatter;
    QVERIFY(!formatter.getObjectValue(nullptr, volumes.dataVolume()));

    QVariant root;
    QVERIFY(formatter.getObjectValue(&root, volumes.dataVolume()));
    const QVariantMap rootMap = root.toMap();
    QCOMPARE(rootMap.value(pathKey).toString(), volumes.dataVolume());
    QCOMPARE(rootMap.value(volKey).toString(), QStringLiteral("Data"));
    QCOMPARE(formatter.stringForObjectValue(root), QStringLiteral("Data"));
    QCOMPARE(formatter.editingStringForObjectValue(root), volumes.dataVolume());
    const auto attributed = formatter.attributedStringForObjectValue(root, QFont());
    QVERIFY(attributed);
    QCOMPARE(attributed->text, QStringLiteral("Data"));
    QVERIFY(attributed->font.bold());

    QVariant file;
    QVERIFY(formatter.getObjectValue(&file, volumes.localFile()));
    QVERIFY(!file.toMap().contains(volKey));
    QCOMPARE(formatter.stringForObjectValue(file), volumes.localFile());
    QVERIFY(!formatter.attributedStringForObjectValue(file, QFont()));

    // Plain strings are looked at too; anything else has no text.
    QCOMPARE(formatter.stringForObjectValue(volumes.dataVolume()), QStringLiteral("Data"));
    QCOMPARE(formatter.editingStringForObjectValue(volumes.dataVolume()), volumes.dataVolume());
    QVERIFY(formatter.stringForObjectValue(QVariant(42)).isNull());
    QVERIFY(formatter.editingStringForObjectValue(QVariant()).isNull());
}

SC_TEST_MAIN(tst_XDragFileTextField)
#include "tst_XDragFileTextField.moc"
