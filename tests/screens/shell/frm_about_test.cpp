#include <QAction>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <map>
#include <vector>

#include "screens/shell/form2.h"
#include "screens/shell/frm_about.h"
#include "screens/shell/system_info.h"
#include "screen_harness.h"

using namespace valmora;
using valmora::testing::Click;
using valmora::testing::ScreenHarness;

namespace {

const QString kUnavailable = "System Information Is Unavailable At This Time";

// A registry holding the keys a test puts in it, below HKEY_LOCAL_MACHINE.
class FakeRegistry : public sysinfo::KeyStore {
public:
    struct Value {
        std::uint32_t type;
        QByteArray bytes;
    };

    void Put(const std::string& key, const std::string& name, std::uint32_t type, const QByteArray& bytes) {
        keys[key][name] = {type, bytes};
    }
    // A string as the registry usually keeps it, with its terminating NUL.
    void PutString(const std::string& key, const std::string& name, const QByteArray& text) {
        Put(key, name, sysinfo::kString, text + QByteArray(1, '\0'));
    }

    bool OpenKey(std::uint32_t root, const std::string& name, std::uint32_t access, Handle& key) override {
        opens.push_back({root, name, access});
        key = 0;
        if (root != sysinfo::kLocalMachine || !keys.count(name)) return false;
        handles.push_back(name);
        key = handles.size();
        ++openKeys;
        return true;
    }

    bool QueryValue(Handle key, const std::string& name, std::uint32_t& type, char* buffer,
                    std::uint32_t& size) override {
        if (key == 0 || key > handles.size()) return false;
        const auto& values = keys[handles[key - 1]];
        const auto value = values.find(name);
        if (value == values.end()) return false;
        const QByteArray& bytes = value->second.bytes;
        if (std::uint32_t(bytes.size()) > size) return false;  // does not fit
        std::memcpy(buffer, bytes.constData(), size_t(bytes.size()));
        size = std::uint32_t(bytes.size());
        type = value->second.type;
        return true;
    }

    void CloseKey(Handle key) override {
        ++closes;
        if (key != 0) --openKeys;
    }

    struct Open {
        std::uint32_t root;
        std::string name;
        std::uint32_t access;
    };
    std::map<std::string, std::map<std::string, Value>> keys;
    std::vector<std::string> handles;
    std::vector<Open> opens;
    int openKeys = 0;
    int closes = 0;
};

const std::string kToolKey(sysinfo::kToolKey);
const std::string kToolValue(sysinfo::kToolValue);
const std::string kFolderKey(sysinfo::kFolderKey);
const std::string kFolderValue(sysinfo::kFolderValue);

// Every control of `window`'s client area lies inside it, overlaps no other,
// and shows its whole text.
void CheckLayout(ui::Screen& window) {
    const QWidget* client = window.Client();
    const QList<QWidget*> children = client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        QVERIFY2(client->rect().contains(child->geometry()), child->metaObject()->className());
        if (auto* label = qobject_cast<QLabel*>(child)) {
            QVERIFY2(label->heightForWidth(label->width()) <= label->height(), qPrintable(label->text()));
        }
        if (auto* button = qobject_cast<QPushButton*>(child)) {
            QVERIFY2(button->sizeHint().width() <= button->width(), qPrintable(button->text()));
            QVERIFY2(button->fontMetrics().height() < button->height(), qPrintable(button->text()));
        }
        for (QWidget* other : children)
            if (other != child) QVERIFY2(!child->geometry().intersects(other->geometry()), "controls overlap");
    }
}

}  // namespace

class FrmAboutTest : public QObject {
    Q_OBJECT

private:
    // The start screen, then the About box from its menu.
    FrmAbout& Open(ScreenHarness& h) {
        h.screens.Show(ScreenId::Form2);
        h.screens.Get<Form2>().MAboutIRR->trigger();
        return *h.screens.Find<FrmAbout>();
    }

private slots:
    // --- the box ---

    void showsTitleVersionAndTerms() {
        ScreenHarness h;
        FrmAbout& a = Open(h);
        QVERIFY(h.Visible(FrmAbout::kId));
        QVERIFY(h.Visible(ScreenId::Form2));  // beside the start screen, not instead of it
        QCOMPARE(a.windowTitle(), QString("About Valmora"));
        QCOMPARE(a.lblTitle->text(), QString("Valmora"));
        QCOMPARE(a.lblVersion->text(), QString("Version 1.1.4"));
        QCOMPARE(a.lblDescription->text(), QString("Solves the deterministic and stochastic IRR problem."));
        QVERIFY(a.lblDisclaimer->text().startsWith(
            "Warning: ... Use as is.  No warranty implied.  Let me know if any bugs exist."));
        QVERIFY(a.lblDisclaimer->text().contains("valmora@example.com"));
        QCOMPARE(a.cmdOK->text(), QString("OK"));
        QCOMPARE(a.cmdSysInfo->text(), QString("&System Info..."));
        QCOMPARE(valmora::testing::FocusIn(&a), a.cmdOK);
        QVERIFY(a.picIcon->isVisible());
        QVERIFY(a.Line1[0]->isVisible() && a.Line1[1]->isVisible());
    }

    void everythingFits() {
        ScreenHarness h;
        CheckLayout(Open(h));
    }

    void okUnloadsAndOpeningAgainLoadsAfresh() {
        ScreenHarness h;
        FrmAbout& a = Open(h);
        a.setWindowTitle(QString());
        a.lblVersion->clear();
        a.lblTitle->clear();
        Click(a.cmdOK);
        QVERIFY(!h.screens.IsLoaded(FrmAbout::kId));
        h.Settle();
        QCOMPARE(h.VisibleScreens(), std::vector<ScreenId>{ScreenId::Form2});
        QVERIFY(!h.dialogs.ended);

        FrmAbout& again = Open(h);
        QCOMPARE(again.windowTitle(), QString("About Valmora"));
        QCOMPARE(again.lblTitle->text(), QString("Valmora"));
        QCOMPARE(again.lblVersion->text(), QString("Version 1.1.4"));
    }

    void closingByTheFrameUnloads() {
        ScreenHarness h;
        FrmAbout& a = Open(h);
        a.lblVersion->clear();
        QVERIFY(a.close());
        QVERIFY(!h.screens.IsLoaded(FrmAbout::kId));
        h.Settle();
        QVERIFY(h.Visible(ScreenId::Form2));
        QVERIFY(!h.dialogs.ended);
        QCOMPARE(Open(h).lblVersion->text(), QString("Version 1.1.4"));
    }

    // --- System Info ---

    // Which registry places exist, which files exist, which desktop programs
    // are on PATH, whether starting works; what is started and whether the
    // message is shown.
    void systemInfo_data() {
        QTest::addColumn<QByteArray>("toolPath");    // first place; empty: missing
        QTest::addColumn<QByteArray>("toolFolder");  // second place; empty: missing
        QTest::addColumn<QStringList>("files");      // files that exist
        QTest::addColumn<QStringList>("onPath");     // desktop programs found on PATH
        QTest::addColumn<bool>("startWorks");
        QTest::addColumn<QStringList>("started");
        QTest::addColumn<QStringList>("looked");  // files whose existence was asked
        QTest::addColumn<bool>("unavailable");

        const QByteArray tool = "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe";
        const QByteArray folder = "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo";
        const QString inFolder = QString(folder) + "\\MSINFO32.EXE";
        QTest::newRow("first place, started without looking for the file")
            << tool << folder << QStringList{inFolder} << QStringList{"hardinfo"} << true << QStringList{QString(tool)}
            << QStringList{} << false;
        QTest::newRow("first place, start fails") << tool << QByteArray() << QStringList{} << QStringList{"hardinfo"}
                                                  << false << QStringList{QString(tool)} << QStringList{} << true;
        QTest::newRow("second place with MSINFO32.EXE")
            << QByteArray() << folder << QStringList{inFolder} << QStringList{"hardinfo"} << true
            << QStringList{inFolder} << QStringList{inFolder} << false;
        QTest::newRow("second place without MSINFO32.EXE") << QByteArray() << folder << QStringList{} << QStringList{}
                                                           << true << QStringList{} << QStringList{inFolder} << true;
        QTest::newRow("second place without MSINFO32.EXE, a desktop tool")
            << QByteArray() << folder << QStringList{} << QStringList{"kinfocenter"} << true
            << QStringList{"/usr/bin/kinfocenter"} << QStringList{inFolder} << false;
        QTest::newRow("nothing at all") << QByteArray() << QByteArray() << QStringList{} << QStringList{} << true
                                        << QStringList{} << QStringList{} << true;
        QTest::newRow("a desktop tool") << QByteArray() << QByteArray() << QStringList{} << QStringList{"hardinfo"}
                                        << true << QStringList{"/usr/bin/hardinfo"} << QStringList{} << false;
        QTest::newRow("the first desktop tool of the list")
            << QByteArray() << QByteArray() << QStringList{}
            << QStringList{"xfce4-taskmanager", "gnome-system-monitor", "kinfocenter"} << true
            << QStringList{"/usr/bin/gnome-system-monitor"} << QStringList{} << false;
        QTest::newRow("a desktop tool that fails to start")
            << QByteArray() << QByteArray() << QStringList{} << QStringList{"xfce4-taskmanager"} << false
            << QStringList{"/usr/bin/xfce4-taskmanager"} << QStringList{} << true;
    }

    void systemInfo() {
        QFETCH(QByteArray, toolPath);
        QFETCH(QByteArray, toolFolder);
        QFETCH(QStringList, files);
        QFETCH(QStringList, onPath);
        QFETCH(bool, startWorks);
        QFETCH(QStringList, started);
        QFETCH(QStringList, looked);
        QFETCH(bool, unavailable);

        FakeRegistry registry;
        if (!toolPath.isEmpty()) registry.PutString(kToolKey, kToolValue, toolPath);
        if (!toolFolder.isEmpty()) registry.PutString(kFolderKey, kFolderValue, toolFolder);
        QStringList lookedAt;

        ScreenHarness h;
        FrmAbout& a = Open(h);
        a.Registry = &registry;
        a.FileExists = [&](const std::string& path) {
            lookedAt << QString::fromStdString(path);
            return files.contains(QString::fromStdString(path));
        };
        a.FindProgram = [&](const std::string& program) {
            const QString name = QString::fromStdString(program);
            return onPath.contains(name) ? ("/usr/bin/" + name).toStdString() : std::string();
        };
        h.dialogs.startSucceeds = startWorks;

        Click(a.cmdSysInfo);
        QCOMPARE(h.dialogs.started, started);
        QCOMPARE(lookedAt, looked);
        if (unavailable) {
            QCOMPARE(h.dialogs.Texts(), QStringList{kUnavailable});
            QCOMPARE(h.dialogs.shown[0].title, QString("Valmora"));
            QVERIFY(!h.dialogs.shown[0].question);
        } else {
            QCOMPARE(h.dialogs.Texts(), QStringList{});
        }
        QCOMPARE(registry.openKeys, 0);
        QVERIFY(h.Visible(FrmAbout::kId));  // the box stays open either way
    }

    // Without test doubles: no registry, and the desktop's programs are
    // looked for on the PATH of the process.
    void systemInfoOnThisPlatform_data() {
        QTest::addColumn<QStringList>("executables");  // in the PATH folder
        QTest::addColumn<QStringList>("plainFiles");   // there but not executable
        QTest::addColumn<QString>("started");          // file name; empty: the message

        QTest::newRow("no tool") << QStringList{} << QStringList{} << QString();
        QTest::newRow("a tool") << QStringList{"hardinfo"} << QStringList{} << QString("hardinfo");
        QTest::newRow("a file that cannot run is passed over")
            << QStringList{"xfce4-taskmanager"} << QStringList{"gnome-system-monitor"} << QString("xfce4-taskmanager");
        QTest::newRow("only files that cannot run") << QStringList{} << QStringList{"kinfocenter"} << QString();
    }

    void systemInfoOnThisPlatform() {
        QFETCH(QStringList, executables);
        QFETCH(QStringList, plainFiles);
        QFETCH(QString, started);

        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        for (const QString& name : executables + plainFiles) {
            QFile file(folder.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("#!/bin/sh\n");
            file.close();
            if (executables.contains(name))
                QVERIFY(file.setPermissions(file.permissions() | QFile::ExeOwner | QFile::ExeUser));
        }
        const QByteArray savedPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(folder.path()));

        ScreenHarness h;
        FrmAbout& a = Open(h);
        Click(a.cmdSysInfo);
        qputenv("PATH", savedPath);

        if (started.isEmpty()) {
            QCOMPARE(h.dialogs.started, QStringList{});
            QCOMPARE(h.dialogs.Texts(), QStringList{kUnavailable});
        } else {
            QCOMPARE(h.dialogs.started, QStringList{folder.filePath(started)});
            QCOMPARE(h.dialogs.Texts(), QStringList{});
        }
    }

    // --- reading a registry value ---

    void getKeyValue_data() {
        QTest::addColumn<bool>("keyThere");
        QTest::addColumn<bool>("valueThere");
        QTest::addColumn<uint>("type");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("read");
        QTest::addColumn<QByteArray>("text");  // what the caller's "earlier" text becomes

        const QByteArray path = "C:\\WINDOWS\\system32\\msinfo32.exe";
        const QByteArray nul(1, '\0');
        QTest::newRow("string with its NUL") << true << true << 1u << path + nul << true << path;
        QTest::newRow("string without a NUL") << true << true << 1u << path << true << path;
        QTest::newRow("empty string with its NUL") << true << true << 1u << nul << true << QByteArray();
        QTest::newRow("only the last NUL is dropped")
            << true << true << 1u << QByteArray("ab") + nul + nul << true << QByteArray("ab") + nul;
        QTest::newRow("string filling the buffer")
            << true << true << 1u << QByteArray(1024, 'x') << true << QByteArray(1024, 'x');
        QTest::newRow("string too long for the buffer")
            << true << true << 1u << QByteArray(1025, 'x') << false << QByteArray();
        QTest::newRow("value of no bytes") << true << true << 1u << QByteArray() << false << QByteArray();
        QTest::newRow("double word") << true << true << 4u << QByteArray::fromHex("78563412") << true
                                     << QByteArray("&h12345678");
        QTest::newRow("double word, upper-case digits, zero bytes inside")
            << true << true << 4u << QByteArray::fromHex("01ab00ef") << true << QByteArray("&hEF00AB01");
        QTest::newRow("double word, small bytes as two digits")
            << true << true << 4u << QByteArray::fromHex("0501020a") << true << QByteArray("&h0A020105");
        QTest::newRow("double word with a zero top byte loses it")
            << true << true << 4u << QByteArray::fromHex("0c0b0a00") << true << QByteArray("&h0A0B0C");
        QTest::newRow("another type leaves the text")
            << true << true << 3u << QByteArray::fromHex("0102") << true << QByteArray("earlier");
        QTest::newRow("missing key") << false << false << 1u << path << false << QByteArray();
        QTest::newRow("missing value") << true << false << 1u << path << false << QByteArray();
    }

    void getKeyValue() {
        QFETCH(bool, keyThere);
        QFETCH(bool, valueThere);
        QFETCH(uint, type);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, read);
        QFETCH(QByteArray, text);

        FakeRegistry registry;
        if (keyThere) registry.Put(kToolKey, valueThere ? kToolValue : "Other", type, bytes);
        std::string keyVal = "earlier";
        QCOMPARE(sysinfo::GetKeyValue(registry, sysinfo::kLocalMachine, kToolKey, kToolValue, keyVal), read);
        QCOMPARE(QByteArray::fromStdString(keyVal), text);

        QCOMPARE(registry.opens.size(), size_t(1));
        QCOMPARE(registry.opens[0].root, 0x80000002u);
        QCOMPARE(registry.opens[0].name, kToolKey);
        QCOMPARE(registry.opens[0].access, 0x2003Fu);
        QCOMPARE(registry.openKeys, 0);
        QCOMPARE(registry.closes, 1);
    }

    void theEmptyStoreHasNothing() {
        sysinfo::EmptyKeyStore store;
        std::string keyVal = "earlier";
        QVERIFY(!sysinfo::GetKeyValue(store, sysinfo::kLocalMachine, kToolKey, kToolValue, keyVal));
        QCOMPARE(keyVal, std::string());
    }

    // --- finding a program on PATH ---

    void findOnPath() {
        QTemporaryDir first, second;
        QVERIFY(first.isValid() && second.isValid());
        auto make = [](const QTemporaryDir& dir, const QString& name, bool executable) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.close();
            if (executable) QVERIFY(file.setPermissions(file.permissions() | QFile::ExeOwner | QFile::ExeUser));
        };
        make(first, "tool", false);
        make(second, "tool", true);
        make(first, "both", true);
        make(second, "both", true);
        QVERIFY(QDir(first.path()).mkdir("folder"));
        make(second, "folder", true);

        const std::string a = first.path().toStdString();
        const std::string b = second.path().toStdString();
        const std::string path = a + "::" + b;
        QCOMPARE(sysinfo::FindOnPath("both", path), a + "/both");
        QCOMPARE(sysinfo::FindOnPath("tool", path), b + "/tool");      // not executable in the first
        QCOMPARE(sysinfo::FindOnPath("folder", path), b + "/folder");  // a folder is no program
        QCOMPARE(sysinfo::FindOnPath("missing", path), std::string());
        QCOMPARE(sysinfo::FindOnPath("both", ""), std::string());
        QCOMPARE(sysinfo::FindOnPath("", path), std::string());
    }
};

QTEST_MAIN(FrmAboutTest)
#include "frm_about_test.moc"
