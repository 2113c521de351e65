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
    const bool english = InterfaceLanguage() == QStringLiteral("en");
    // Qt speaks English itself: there is no translation of its own texts to install.
    QCOMPARE(InstallQtTranslations(), !english);
    QCOMPARE(QLocale().language(), english ? QLocale::English : QLocale::Japanese);
    QMessageBox box(QMessageBox::Question, QString(), QString(),
                    QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box.button(QMessageBox::Yes)->text(),
             english ? QStringLiteral("&Yes") : QStringLiteral("はい(&Y)"));
    QCOMPARE(box.button(QMessageBox::No)->text(),
             english ? QStringLiteral("&No") : QStringLiteral("いいえ(&N)"));
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    const QLabel* lookIn = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"));
    QVERIFY(lookIn);
    QCOMPARE(lookIn->text().contains(QStringLiteral("Look in")), english);
  }
};

}  // namespace gestalon::ui

QTEST_MAIN(gestalon::ui::QtTranslationsTest)
#include "qt_translations_test.moc"
