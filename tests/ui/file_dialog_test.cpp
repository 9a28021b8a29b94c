// The file dialogs never read a file to show it: a pipe or a special file in
// the folder shown cannot block them.
#include <QFile>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ui/dialogs.h"

using namespace valmora;

class FileDialogTest : public QObject {
    Q_OBJECT

private slots:
    void aPipeInTheFolderIsShownWithoutReadingIt() {
        QTemporaryDir dir;
        const QString pipe = dir.filePath("pipe");
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        QFile plain(dir.filePath("irrs.exp"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.write(" 0.1 \r\n");
        plain.close();
        for (const auto mode : {QFileDialog::AcceptSave, QFileDialog::AcceptOpen}) {
            auto dialog = ui::NewFileDialog(mode, "Title", dir.path(), "All Files (*.*)|*.*");
            dialog->show();
            auto* model = dialog->findChild<QFileSystemModel*>();
            QVERIFY(model);
            // Each entry's kind comes from the folder alone; a provider that
            // read the pipe would wait for a writer for ever.
            QTRY_COMPARE_WITH_TIMEOUT(model->type(model->index(pipe)), QString("Special file"), 20000);
            QTRY_COMPARE_WITH_TIMEOUT(model->type(model->index(plain.fileName())), QString("EXP File"), 20000);
            QVERIFY(!model->data(model->index(pipe), Qt::DecorationRole).isNull());
            dialog->close();
        }
        // A reader stuck on the pipe would now see its end, so that a failing
        // test ends instead of hanging.
        const int unblock = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
        if (unblock >= 0) ::close(unblock);
    }

    void procIsListedWithoutReadingItsFiles() {
        auto dialog = ui::NewFileDialog(QFileDialog::AcceptSave, "Title", "/proc", "All Files (*.*)|*.*");
        dialog->show();
        auto* model = dialog->findChild<QFileSystemModel*>();
        QTRY_COMPARE_WITH_TIMEOUT(model->type(model->index("/proc/kmsg")), QString("File"), 20000);
        QTRY_COMPARE_WITH_TIMEOUT(model->type(model->index("/proc/self")), QString("Folder"), 20000);
    }
};

QTEST_MAIN(FileDialogTest)
#include "file_dialog_test.moc"
