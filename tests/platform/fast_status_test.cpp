// The entry program's Qt-free way to the running copy against the full program's: the same
// digest, the same socket, the same answers.
#include "case_table.h"
#include "data_folder.h"
#include "fast_status.h"
#include "scoped_env.h"
#include "sha256.h"
#include "single_instance.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <future>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

const QString cases = QStringLiteral(PLATFORM_TEST_DATA "/platform.txt");

TEST(FastStatus, DigestMatchesQtAcrossBlockEdges) {
    for (const CaseRow& row : caseTable(cases, u"digest sizes"_s)) {
        QByteArray bytes;
        for (int i = 0; i < row.number(0); ++i)
            bytes += char(i * 37 + row.number(0));
        EXPECT_EQ(sha256Hex(bytes.toStdString()),
                  QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().toStdString())
            << row.where.toStdString();
    }
}

TEST(FastStatus, FindsTheSocketOfTheFullProgramOrLeavesItToIt) {
    QTemporaryDir tmp;
    const QByteArray root = tmp.path().toUtf8();
    for (const QString& folder : {u"data"_s, u"xdg/Taktplan"_s, u"home/.local/share/Taktplan"_s})
        ASSERT_TRUE(QDir().mkpath(tmp.filePath(folder)));
    ASSERT_EQ(::mkdir((root + "/data\xff").constData(), 0700), 0);
    ASSERT_TRUE(QFile::link(tmp.filePath(u"data"_s), tmp.filePath(u"link"_s)));
    ASSERT_TRUE(QFile::link(tmp.filePath(u"home/.local/share"_s), tmp.filePath(u"share"_s)));
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(tmp.path()));
    ScopedEnv env;
    env.set("TMPDIR", root);
    env.set("HOME", root + "/home");
    for (const CaseRow& row : caseTable(cases, u"fast socket path"_s)) {
        const auto value = [&](qsizetype i) {
            const QByteArray v = QByteArray::fromPercentEncoding(row[i].toUtf8());
            return v == "-" ? QByteArray() : v.startsWith('/') ? root + v : v;
        };
        if (row[2].startsWith(u'/')) {
            ASSERT_TRUE(QDir().mkpath(QFile::decodeName(value(2))));
        }
        env.set("TAKTPLAN_DATA_DIR", value(0));
        env.set("XDG_DATA_HOME", value(1));
        env.set("XDG_RUNTIME_DIR", value(2));
        const QString full =
            SingleInstance(DataFolder::fromEnvironment().path(), SingleInstance::defaultRuntimeFolder())
                .serverName();
        EXPECT_EQ(faststatus::serverPath(), row[3] == u"true"_s ? full.toStdString() : std::string())
            << row.where.toStdString();
    }
    ASSERT_TRUE(QDir::setCurrent(before));
}

TEST(FastStatus, AsksTheRunningCopyAsTheFullProgramDoes) {
    QTemporaryDir tmp;
    SingleInstance copy(tmp.filePath(u"data"_s), tmp.path());
    ASSERT_EQ(copy.claim(), SingleInstance::Claim::First);
    QLocalServer silent;
    ASSERT_TRUE(silent.listen(tmp.filePath(u"silent"_s)));

    // The test's thread serves the copy while another one asks.
    const auto whileServing = [](auto ask) {
        auto answer = std::async(std::launch::async, ask);
        while (answer.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
            QCoreApplication::processEvents();
        return answer.get();
    };
    for (const CaseRow& row : caseTable(cases, u"fast asking"_s)) {
        SCOPED_TRACE(row.where.toStdString());
        if (row[0] == u"listen"_s) {
            ASSERT_TRUE(copy.listen());
        }
        if (row[0] == u"answer"_s)
            copy.setStatusAnswer([](const QByteArray& format) { return "state as " + format; });
        const bool toCopy = row[1] == u"copy"_s;
        const std::string path = (toCopy ? copy.serverName() : silent.fullServerName()).toStdString();
        const auto got = whileServing([&] { return faststatus::ask(path, "json", 300); });
        EXPECT_EQ(std::tuple(got.reached, got.answered, QString::fromStdString(got.text)),
                  std::tuple(row[2] == u"true"_s, row[3] == u"true"_s, row[4]));
        if (toCopy) {
            // What the full program then prints is the same.
            const auto full = whileServing([&] {
                return SingleInstance(tmp.filePath(u"data"_s), tmp.path()).requestStatus("json", 300);
            });
            const auto printed = [](const statusrequest::Outcome& o) {
                return std::tuple(o.status, o.output, o.error);
            };
            EXPECT_EQ(
                printed(statusrequest::outcome(got)),
                printed(statusrequest::outcome({full.reached, full.answered, full.text.toStdString()})));
        }
    }
}

} // namespace
