#pragma once

// A private world for the task list's tests: a temporary install root with the products a test
// installs, the account's home (for the application's preferences) inside it, an in-memory
// crontab, and a fixed clock.

#include "Clock.h"
#include "CrontabFake.h"
#include "CrontabTasks.h"
#include "FileRefsFolders.h"
#include "FourCharCode.h"
#include "InstallRoot.h"
#include "Preferences.h"
#include "PreferencesArguments.h"
#include "QorProducts.h"
#include "ScopedEnv.h"
#include "ZQorScheduledTaskArray.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <optional>
#include <unistd.h>
#include <utility>

namespace SCTest {

/// One task as a test writes it into the crontab.
struct TestTask {
    QString name;
    int16_t kind = 0;
    int16_t scheduleType = 3;
    int16_t month = -1, day = -1, hour = 12, minute = 0;
    int16_t enabled = 1;
    QString execPath;
    QString eventData;
    uint32_t creator = 0;
};

using qor_test::ScopedEnv;

/// Products a test installs, as a set of bits.
enum Product {
    kSweeper = 1 << 0,
    kWardline = 1 << 1,
    kDiskmate = 1 << 2,
    kRenovix = 1 << 3,
    kDensor = 1 << 4,
    kPalisade = 1 << 5,
    kVeilguard = 1 << 6,
    kEverything = (1 << 7) - 1,
};

/// Where the crontab lives: in memory, or in the root's crontab folder behind the stand-in
/// crontab command, which is then first on PATH.
enum class CrontabKind { InMemory, StandInCommand };

class TaskTestRoot {
public:
    /// now: the fixed local time of the test (the tests run in UTC). installRootTail: a folder
    /// name added to the install root only (for very long product paths).
    explicit TaskTestRoot(CrontabKind kind = CrontabKind::InMemory,
                          const QDateTime& now = QDateTime(QDate(2024, 5, 15), QTime(10, 30)),
                          const QString& installRootTail = QString())
        : mKind(kind), mSystemRootEnv("QORSCHED_SYSTEM_ROOT", mDir.path().toStdString()),
          mRootEnv("QORSCHED_ROOT", (mDir.path() + installRootTail).toStdString()),
          mPathEnv("PATH", kind == CrontabKind::StandInCommand
                               ? QORSCHED_FAKE_CRONTAB_DIR ":" + qgetenv("PATH").toStdString()
                               : qgetenv("PATH").toStdString()),
          mFailEnv("QORSCHED_FAKE_CRONTAB_FAIL", std::nullopt), mClock(now.toSecsSinceEpoch()),
          mUseClock(&mClock),
          mUseCrontab(kind == CrontabKind::InMemory ? &mCrontab : &QorCurrentCrontab()) {
        QDir().mkpath(mDir.path() + QStringLiteral("/tmp"));
        QDir().mkpath(mDir.path() + installRootTail);
        std::string home;
        if (QorAccountHome(geteuid(), &home)) {
            QDir().mkpath(QString::fromStdString(home));
        }
        QorSetCurrentApplicationID("TavrinSchedulerTest");
        QorDiscardPendingPreferences();
        QorSetArgumentDomain(0, nullptr);
        gCalculatedScheduledScanPath = nullptr;
    }
    ~TaskTestRoot() {
        QorDiscardPendingPreferences();
        QorSetArgumentDomain(0, nullptr);
        gCalculatedScheduledScanPath = nullptr;
    }

    QorFakeCrontab& crontab() { return mCrontab; }
    QorFakeClock& clock() { return mClock; }
    QString systemRoot() const { return mDir.path(); }

    /// The user's crontab text ("" when there is none).
    QString tab() const {
        if (mKind == CrontabKind::InMemory) {
            return QString::fromStdString(mCrontab.Tab("tester").value_or(std::string()));
        }
        QFile file(spoolPath());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    void setTab(const QString& text) {
        if (mKind == CrontabKind::InMemory) {
            mCrontab.SetTab("tester", text.toStdString());
            return;
        }
        QDir().mkpath(QFileInfo(spoolPath()).path());
        QFile file(spoolPath());
        if (file.open(QIODevice::WriteOnly)) {
            file.write(text.toUtf8());
        }
    }
    /// The stand-in command's file of the user's crontab.
    QString spoolPath() const {
        std::string name;
        (void)QorCurrentCrontab().EffectiveUserName(&name);
        return mDir.path() + "/var/spool/cron/crontabs/" + QString::fromStdString(name);
    }

    /// Puts a file at the product's fixed path; returns the path the application resolves.
    QString installProduct(const char* fixedPath) {
        const QString path = QString::fromStdString(QorPath(fixedPath));
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) {
            file.write("#!/bin/sh\n");
        }
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return QFileInfo(path).canonicalFilePath();
    }

    /// Installs the products of the set (Product bits).
    void installProducts(int products) {
        const std::pair<Product, const char*> atFixedPaths[] = {
            {kSweeper, kTimedSweeperPath}, {kWardline, kWardlinePath}, {kDiskmate, kDiskmatePath},
            {kRenovix, kRenovixPath},      {kDensor, kDensorPath},
        };
        for (const auto& [product, path] : atFixedPaths) {
            if (products & product) {
                installProduct(path);
            }
        }
        if (products & kPalisade) {
            installApplication(QStringLiteral("Tavrin Palisade"), kPalisadeCreatorCode);
        }
        if (products & kVeilguard) {
            installApplication(QStringLiteral("Tavrin Veilguard"), kVeilguardCreatorCode);
        }
    }

    /// Installs an application bundle with the creator code in the applications folder.
    void installApplication(const QString& name, uint32_t creator) {
        const QString bundle =
            QString::fromStdString(QorPath("/Applications")) + u'/' + name + ".app";
        QDir().mkpath(bundle + "/Contents/MacOS");
        char code[5];
        QorCodeToChars(creator, code);
        QFile info(bundle + "/Contents/Info.plist");
        if (info.open(QIODevice::WriteOnly)) {
            info.write(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                      "<plist version=\"1.0\"><dict>\n"
                                      "<key>CFBundleExecutable</key><string>%1</string>\n"
                                      "<key>CFBundleSignature</key><string>%2</string>\n"
                                      "</dict></plist>\n")
                           .arg(name, QString::fromLatin1(code))
                           .toUtf8());
        }
        QFile executable(bundle + "/Contents/MacOS/" + name);
        if (executable.open(QIODevice::WriteOnly)) {
            executable.write("#!/bin/sh\n");
        }
    }

    /// Writes the tasks as the user's task block, through the schedule library.
    void writeTasks(const std::vector<TestTask>& tasks, const QString& userLines = QString()) {
        setTab(userLines);
        ZQorScheduledTaskArray block(nullptr, 4, 0);
        for (const TestTask& wanted : tasks) {
            ZQorScheduledTask* task = NewScheduledTask(nullptr);
            const QByteArray name = wanted.name.toUtf8();
            SetTaskName(task, name.constData(), int16_t(name.size()), 1);
            SetTaskEventType(task, wanted.kind);
            SetTaskScheduleType(task, wanted.scheduleType);
            SetTaskScheduleTime(task, &wanted.month, &wanted.day, &wanted.hour, &wanted.minute);
            SetTaskEnabled(task, wanted.enabled);
            SetEvent(task, QorCode("oapp"), QorCode("aevt"), wanted.eventData.toUtf8().constData());
            SetEventLauncher(task, wanted.creator, QFile::encodeName(wanted.execPath).constData());
            AddScheduledTask(&block, task, 0);
        }
        block.SetDirtyFlag(true);
        SaveCrontabTasks(&block);
    }

    /// The names of the tasks in the user's crontab, in block order.
    QStringList taskNames() {
        QStringList names;
        ZQorScheduledTaskArray* block = OpenCrontabTasks(nullptr);
        if (!block) {
            return names;
        }
        for (uint32_t i = 0; i < block->GetNumItems(); ++i) {
            names << QString::fromUtf8(GetTaskNamePtr(block->NthValue(i)));
        }
        block->SetDirtyFlag(false);
        CloseCrontabTasks(block);
        return names;
    }

    /// The boolean user default of the application under test.
    static bool marker(const char* key) { return QorUserDefaults().BoolForKey(key); }
    static void setMarker(const char* key, bool value) {
        QorUserDefaults defaults;
        defaults.SetBool(key, value);
        defaults.Synchronize();
    }

private:
    CrontabKind mKind;
    QTemporaryDir mDir;
    ScopedEnv mSystemRootEnv;
    ScopedEnv mRootEnv;
    ScopedEnv mPathEnv;
    ScopedEnv mFailEnv;
    QorFakeClock mClock;
    QorScopedClock mUseClock;
    QorFakeCrontab mCrontab;
    QorScopedCrontab mUseCrontab;
};

} // namespace SCTest
