// The entry program's Qt-free way to the running copy against the full program's: the same
// digest, the same socket, the same answers.
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

TEST(FastStatus, DigestMatchesQtAcrossBlockEdges) {
    for (const int size : {0, 1, 55, 56, 63, 64, 65, 119, 120, 1000, 100003}) {
        QByteArray bytes;
        for (int i = 0; i < size; ++i)
            bytes += char(i * 37 + size);
        EXPECT_EQ(sha256Hex(bytes.toStdString()),
                  QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().toStdString())
            << size;
    }
}

TEST(FastStatus, FindsTheSocketOfTheFullProgramOrLeavesItToIt) {
    QTemporaryDir tmp;
    const QString root = tmp.path();
    for (const QString& folder : {u"data"_s, u"xdg/Taktplan"_s, u"home/.local/share/Taktplan"_s, u"run"_s})
        ASSERT_TRUE(QDir().mkpath(root + u'/' + folder));
    ASSERT_TRUE(QFile::link(root + u"/data"_s, root + u"/link"_s));
    ASSERT_TRUE(QFile::link(root + u"/home/.local/share"_s, root + u"/share"_s));
    // A name that is no UTF-8: Qt reads it as another folder.
    ASSERT_EQ(::mkdir((root.toUtf8() + "/data\xff").constData(), 0700), 0);
    const QString deep = root + u'/' + QString(80, u'r');
    ASSERT_TRUE(QDir().mkpath(deep));
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(root));
    ScopedEnv env;
    env.set("TMPDIR", root.toUtf8());
    const struct {
        const char* dataDir;
        const char* xdgDataHome;
        QString runtime;
        bool fast; // else "" and the full program finds its way
    } cases[] = {
        {"data", nullptr, root + u"/run"_s, true},
        {"/link/./", nullptr, root + u"/run/"_s, true},
        {"share/../data", nullptr, root + u"/run"_s, true},
        {nullptr, "/xdg", root + u"/run"_s, true},
        {nullptr, "relative", root + u"/run"_s, true}, // HOME's folder
        {"missing", nullptr, root + u"/run"_s, false},
        {"data", nullptr, {}, false},
        {"data", nullptr, u"run"_s, false},
        {"data", nullptr, deep, false},
        {"data\xff", nullptr, root + u"/run"_s, false},
    };
    for (const auto& c : cases) {
        const std::string label =
            std::string(c.dataDir ? c.dataDir : c.xdgDataHome) + " " + c.runtime.toStdString();
        const auto rooted = [&](const char* value) {
            return value && value[0] == '/' ? root.toUtf8() + value : QByteArray(value);
        };
        env.set("TAKTPLAN_DATA_DIR", rooted(c.dataDir));
        env.set("XDG_DATA_HOME", rooted(c.xdgDataHome));
        env.set("HOME", (root + u"/home"_s).toUtf8());
        env.set("XDG_RUNTIME_DIR", c.runtime.toUtf8());
        const QString full =
            SingleInstance(DataFolder::fromEnvironment().path(), SingleInstance::defaultRuntimeFolder())
                .serverName();
        EXPECT_EQ(faststatus::serverPath(), c.fast ? full.toStdString() : std::string()) << label;
    }
    ASSERT_TRUE(QDir::setCurrent(before));
}

TEST(FastStatus, AsksTheRunningCopyAsTheFullProgramDoes) {
    QTemporaryDir tmp;
    SingleInstance copy(tmp.filePath(u"data"_s), tmp.path());
    ASSERT_EQ(copy.claim(), SingleInstance::Claim::First);
    const std::string server = copy.serverName().toStdString();
    // A listener that takes the connection and never answers.
    QLocalServer silentServer;
    ASSERT_TRUE(silentServer.listen(tmp.filePath(u"silent"_s)));
    const std::string silent = silentServer.fullServerName().toStdString();

    // The test's thread serves the copy while another one asks.
    const auto whileServing = [](auto ask) {
        auto answer = std::async(std::launch::async, ask);
        while (answer.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
            QCoreApplication::processEvents();
        return answer.get();
    };
    // what is set up, the socket asked, the answer the fast way gets
    const std::tuple<const char*, std::string, statusrequest::Answer> cases[] = {
        {"nobody listens", server, {false, false, ""}},
        {"still starting", server, {true, true, ""}},
        {"answering", server, {true, true, "state as json\n"}},
        {"silent", silent, {true, false, ""}},
    };
    for (const auto& [label, path, expected] : cases) {
        if (label == std::string("still starting")) {
            ASSERT_TRUE(copy.listen());
        }
        if (label == std::string("answering"))
            copy.setStatusAnswer([](const QByteArray& format) { return "state as " + format; });
        const auto got = whileServing([&] { return faststatus::ask(path, "json", 300); });
        EXPECT_EQ(std::tie(got.reached, got.answered, got.text),
                  std::tie(expected.reached, expected.answered, expected.text))
            << label;
        if (path == server) {
            // What the full program then prints is the same.
            const auto full = whileServing([&] {
                return SingleInstance(tmp.filePath(u"data"_s), tmp.path()).requestStatus("json", 300);
            });
            const auto printed = [](const statusrequest::Outcome& o) {
                return std::tuple(o.status, o.output, o.error);
            };
            EXPECT_EQ(printed(statusrequest::outcome(got)),
                      printed(statusrequest::outcome({full.reached, full.answered, full.text.toStdString()})))
                << label;
        }
    }
}
