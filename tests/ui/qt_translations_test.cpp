#include "widgets/qt_translations.h"

#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include "temp_dir.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {

class QtTranslationsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  // Runs first: nothing is installed yet.
  void withoutTranslationFilesQtKeepsItsOwnTexts() {
    testing::TempDir empty;
    QVERIFY(!InstallQtTranslations(ToQString(empty.Path().u16string())));
    QMessageBox box(QMessageBox::Question, QString(), QString(), QMessageBox::Yes);
    QCOMPARE(box.button(QMessageBox::Yes)->text(), QStringLiteral("&Yes"));
  }

  void standardButtonsAndFileDialogsSpeakTheInterfaceLanguage() {
    QCOMPARE(InterfaceLanguage(), QStringLiteral("ja"));  // the program's own table
    QVERIFY(InstallQtTranslations());
    QCOMPARE(QLocale().language(), QLocale::Japanese);
    QMessageBox box(QMessageBox::Question, QString(), QString(),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(box.button(QMessageBox::Yes)->text(), QStringLiteral("はい(&Y)"));
    QCOMPARE(box.button(QMessageBox::No)->text(), QStringLiteral("いいえ(&N)"));
    QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("キャンセル"));
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    const QLabel* lookIn = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"));
    QVERIFY(lookIn);
    QVERIFY(!lookIn->text().contains(QStringLiteral("Look in")));
  }
};

}  // namespace gestalon::ui

QTEST_MAIN(gestalon::ui::QtTranslationsTest)
#include "qt_translations_test.moc"
