#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileIconProvider>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

#include "app/translations.h"
#include "helpers/read_only_folder.h"
#include "helpers/temp_folder.h"
#include "platform/errors.h"
#include "platform/line_file.h"

namespace {

/// Qt's own Chinese texts for the length of a test; the other tests keep Qt's English.
struct ChineseQt {
    ChineseQt() { installChineseTranslations(*QCoreApplication::instance()); }
    ~ChineseQt()
    {
        for (QTranslator* t : QCoreApplication::instance()->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(t);
            delete t;
        }
    }
};

QString errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const BelvaneError& e) {
        return e.text();
    }
    return {};
}

} // namespace

TEST(ChineseTexts, QtStandardButtonsReadChinese)
{
    ChineseQt chinese;
    QMessageBox box(QMessageBox::Question, "Belvane", "?", QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), "取消");
    EXPECT_EQ(box.button(QMessageBox::Ok)->text(), "确定");
}

TEST(ChineseTexts, FileErrorsNameTheFileInChinese)
{
    TempFolder dir;
    const QString missing = dir.file("gone.ini");
    EXPECT_TRUE(errorOf([&] { readWholeFile(missing); }).startsWith("无法打开文件\"" + missing + "\"："));

    ReadOnlyFolder readOnly(dir.path());
    if (!readOnly.active())
        GTEST_SKIP() << "this file system cannot refuse writes to its owner";
    const QString list = dir.file("al.ini");
    const QString text = errorOf([&] { writeFileAtomically(list, "0\r\n"); });
    EXPECT_TRUE(text.startsWith("无法写入文件\"" + list + "\"：")) << text.toStdString();
    EXPECT_GT(text.size(), QString("无法写入文件\"" + list + "\"：").size()) << "the reason is given";
}

TEST(ChineseTexts, TheFileDialogNamesFoldersInChinese)
{
    // The file dialog's Type column; Qt's Chinese catalogue has no text for a folder.
    ChineseQt chinese;
    TempFolder dir;
    const QFileIconProvider provider;
    EXPECT_EQ(provider.type(QFileInfo(dir.path())), "文件夹");
    EXPECT_EQ(provider.type(QFileInfo(dir.file("never-made"))), "未知");
}
