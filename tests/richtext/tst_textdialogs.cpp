#include "app/core/u_global.h"
#include "app/core/u_sprache.h"
#include "platform/dataset/dataset.h"
#include "platform/rtf/rtf.h"
#include "platform/sql/sqlutil.h"
#include "richtext/richtextbinding.h"
#include "richtext/trichtexttoolbar.h"
#include "richtext/u_kopftext.h"
#include "richtext/u_texteerfassen.h"

#include <QComboBox>
#include <QSpinBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {

// Runs body once the modal dialog is up; body must close it. A stuck dialog
// is closed after a while so that a failing test cannot hang the run.
void whileModal(QDialog *dialog, const std::function<void()> &body)
{
  QTimer::singleShot(0, dialog, [dialog, body] {
    QVERIFY(dialog->isVisible());
    body();
  });
  QTimer::singleShot(10000, dialog, [dialog] {
    if (dialog->isVisible()) dialog->reject();
  });
}

void click(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton); }

const char *const kRtf =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\r\n"
    "\\viewkind4\\uc1\\pard\\f0\\fs20 Montage vor Ort, \\b 2 Stunden\\b0\\par\r\n}\r\n";

} // namespace

class TestTextDialogs : public QObject {
  Q_OBJECT
private slots:
  void initTestCase()
  {
    QVERIFY(m_dir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.filePath("settings"));
    m_db = openSqlCipher("texte", m_dir.filePath("TORVANEXDB_Lokal.mdb"), {}, true);
    execSql(m_db, "CREATE TABLE Artikelpositionen (ID_Artikelpositionen INTEGER PRIMARY KEY, "
                  "Position_X INTEGER, Zusatztext1 MEMO)");
    execSql(m_db, "INSERT INTO Artikelpositionen VALUES (1, 1, :t)", {{"t", QString(kRtf)}});
    execSql(m_db, "INSERT INTO Artikelpositionen VALUES (2, 2, 'Nur Text\r\nzweite Zeile')");
    execSql(m_db, "INSERT INTO Artikelpositionen VALUES (3, 3, NULL)");
    execSql(m_db, "INSERT INTO Artikelpositionen VALUES (4, 4, :t)",
            {{"t", QString("{\\rtf1{\\fonttbl{\\f0 Courier New;}}\\f0\\fs28\\b Fett\\b0  normal\\par}")}});
  }

  // --- header text dialog -------------------------------------------------------

  void kopftextCaptionsAndFocus()
  {
    Tfrm_kopftext dlg;
    QCOMPARE(dlg.objectName(), QString("frm_kopftext"));
    QCOMPARE(dlg.windowTitle(), QString("Kopftext erfassen"));
    QCOMPARE(dlg.findChild<QPushButton *>("btn_uebergeben")->text(),
             QString::fromUtf8("K O P F T E X T    Ü B E R G E B E N"));
    QCOMPARE(dlg.findChild<QPushButton *>("btn_close")->text(), QString("Schliessen"));
    QCOMPARE(Sprache::window("Kopftexte"), &dlg);
    QStringList lines{"Herzlichen Dank"};
    bool focused = false;
    QString title, button;
    whileModal(&dlg, [&] {
      QTRY_VERIFY(dlg.editor()->hasFocus());
      focused = TextNichtUebergeben;
      title = dlg.windowTitle();
      button = dlg.transferButton()->text();
      click(dlg.findChild<QPushButton *>("btn_close"));
    });
    QVERIFY(!KopftextBearbeiten(&dlg, lines, "Abschlusstext erstellen'",
                                QString::fromUtf8("F U S S T E X T    Ü B E R G E B E N")));
    QVERIFY(focused);
    QCOMPARE(title, QString("Abschlusstext erstellen'"));
    QCOMPARE(button, QString::fromUtf8("F U S S T E X T    Ü B E R G E B E N"));
  }

  void kopftextCloseKeepsText()
  {
    Tfrm_kopftext dlg;
    QStringList lines{"Herzlichen Dank für ihr Vertrauen in unsere Dienstleistungen."};
    whileModal(&dlg, [&] {
      QTest::keyClick(dlg.editor(), Qt::Key_End, Qt::ControlModifier);
      QTest::keyClick(dlg.editor(), Qt::Key_Return);
      QTest::keyClicks(dlg.editor(), "geaendert");
      click(dlg.findChild<QPushButton *>("btn_close"));
    });
    QVERIFY(!KopftextBearbeiten(&dlg, lines, "Kopftext erstellen", "K O P F T E X T"));
    QCOMPARE(lines, QStringList{"Herzlichen Dank für ihr Vertrauen in unsere Dienstleistungen."});
    QVERIFY(TextNichtUebergeben);
    QVERIFY(TextPuffer.isEmpty());

    // Escape (closing the window) behaves the same
    whileModal(&dlg, [&] {
      QTest::keyClicks(dlg.editor(), "x");
      QTest::keyClick(dlg.editor(), Qt::Key_Escape);
    });
    QVERIFY(!KopftextBearbeiten(&dlg, lines, "Kopftext erstellen", "K O P F T E X T"));
    QCOMPARE(lines.size(), 1);
  }

  void kopftextTransfer_data()
  {
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("typed");  // "" = delete everything
    QTest::addColumn<QStringList>("after");
    QTest::newRow("emptied") << QStringList{"Bitte den Betrag", "innerhalb von 14 Tagen überweisen"} << ""
                             << QStringList{};
    QTest::newRow("lines with empty ones") << QStringList{} << "Zeile 1\n\nZeile 3\n"
                                           << QStringList{"Zeile 1", "", "Zeile 3", ""};
    QTest::newRow("unchanged") << QStringList{"a", "", "b"} << "keep" << QStringList{"a", "", "b"};
  }
  void kopftextTransfer()
  {
    QFETCH(QStringList, before);
    QFETCH(QString, typed);
    QFETCH(QStringList, after);
    Tfrm_kopftext dlg;
    QStringList lines = before;
    whileModal(&dlg, [&] {
      QPlainTextEdit *ed = dlg.editor();
      if (typed != "keep") {
        QTest::keyClick(ed, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(ed, Qt::Key_Delete);
        for (QChar c : typed) {
          if (c == '\n')
            QTest::keyClick(ed, Qt::Key_Return);
          else
            QTest::keyClicks(ed, QString(c));
        }
      }
      click(dlg.transferButton());
    });
    QVERIFY(KopftextBearbeiten(&dlg, lines, "Kopftext erstellen", "K O P F T E X T"));
    QCOMPARE(lines, after);
    QVERIFY(!TextNichtUebergeben);
    QCOMPARE(TextPuffer, after);
  }

  // --- text entry dialog --------------------------------------------------------

  void texteerfassenLayout()
  {
    Tfrm_texteerfassen dlg;
    QCOMPARE(dlg.objectName(), QString("frm_texteerfassen"));
    QCOMPARE(dlg.windowTitle(), QString("Texte erfassen"));
    QCOMPARE(dlg.findChild<QPushButton *>("btn_uebergeben")->text(), QString::fromUtf8("T E X T    Ü B E R G E B E N"));
    QCOMPARE(dlg.findChild<QPushButton *>("btn_close")->text(), QString("Schliessen"));
    QVERIFY(dlg.findChild<QTextEdit *>("rt_text"));
    QCOMPARE(dlg.toolbar()->fontNameCombo()->width(), 268);
    QCOMPARE(Sprache::window("Texterfassen"), &dlg);
    QVERIFY(dlg.editor()->isReadOnly());  // nothing bound yet
  }

  void texteerfassenEditsFieldInPlace_data()
  {
    QTest::addColumn<QString>("button");
    QTest::newRow("transfer") << "btn_uebergeben";
    QTest::newRow("close") << "btn_close";
  }
  void texteerfassenEditsFieldInPlace()
  {
    QFETCH(QString, button);
    Dataset ds(m_db);
    ds.setSql("select * from Artikelpositionen order by Position_X");
    ds.open();
    Tfrm_texteerfassen dlg;
    dlg.setDataSource(&ds);
    QCOMPARE(dlg.editor()->toPlainText(), QString("Montage vor Ort, 2 Stunden"));
    whileModal(&dlg, [&] {
      QTRY_VERIFY(dlg.editor()->hasFocus());
      QCOMPARE(ds.state(), Dataset::State::Browse);  // looking changes nothing
      QTest::keyClick(dlg.editor(), Qt::Key_End, Qt::ControlModifier);
      QTest::keyClicks(dlg.editor(), " inkl. Anfahrt");
      QCOMPARE(ds.state(), Dataset::State::Edit);
      click(dlg.findChild<QPushButton *>(button));
    });
    dlg.exec();
    QCOMPARE(Rtf::toPlainText(ds.asString("Zusatztext1")), QString("Montage vor Ort, 2 Stunden inkl. Anfahrt"));
    QVERIFY(ds.asString("Zusatztext1").contains("\\b 2 Stunden"));  // formatting kept
    ds.post();
    QSqlQuery q(m_db);
    QVERIFY(q.exec("select Zusatztext1 from Artikelpositionen where ID_Artikelpositionen = 1") && q.next());
    QCOMPARE(Rtf::toPlainText(q.value(0).toString()), QString("Montage vor Ort, 2 Stunden inkl. Anfahrt"));
    execSql(m_db, "UPDATE Artikelpositionen SET Zusatztext1 = :t WHERE ID_Artikelpositionen = 1", {{"t", QString(kRtf)}});
  }

  void texteerfassenFollowsPosition()
  {
    Dataset ds(m_db);
    ds.setSql("select * from Artikelpositionen order by Position_X");
    ds.open();
    Tfrm_texteerfassen dlg;
    dlg.setDataSource(&ds);
    ds.next();
    QCOMPARE(dlg.editor()->toPlainText(), QString("Nur Text\nzweite Zeile"));
    QCOMPARE(ds.state(), Dataset::State::Browse);

    // formatting through the toolbar is an edit of the field as well
    whileModal(&dlg, [&] {
      QTest::keyClick(dlg.editor(), Qt::Key_Home, Qt::ControlModifier);
      QTest::keyClick(dlg.editor(), Qt::Key_Right);
      click(dlg.toolbar()->findChild<QToolButton *>("BoldButton"));
      click(dlg.findChild<QPushButton *>("btn_close"));
    });
    dlg.exec();
    QCOMPARE(ds.state(), Dataset::State::Edit);
    const QString rtf = ds.asString("Zusatztext1");
    QVERIFY2(Rtf::isRtf(rtf), qPrintable(rtf));
    QTextDocument back;
    Rtf::read(rtf, &back);
    QTextCursor c(&back);
    c.setPosition(2);
    QVERIFY(c.charFormat().fontWeight() == QFont::Bold);
    c.setPosition(6);
    QVERIFY(c.charFormat().fontWeight() != QFont::Bold);
    ds.cancel();

    // an empty position shows an empty editor; clearing a text stores an empty field
    ds.next();
    QCOMPARE(dlg.editor()->toPlainText(), QString());
    ds.first();
    whileModal(&dlg, [&] {
      QTest::keyClick(dlg.editor(), Qt::Key_A, Qt::ControlModifier);
      QTest::keyClick(dlg.editor(), Qt::Key_Delete);
      click(dlg.findChild<QPushButton *>("btn_uebergeben"));
    });
    dlg.exec();
    QCOMPARE(ds.value("Zusatztext1").toString(), QString());
    ds.cancel();
    QCOMPARE(dlg.editor()->toPlainText(), QString("Montage vor Ort, 2 Stunden"));

    // moving to another position refreshes the toolbar from its text
    auto *bold = dlg.toolbar()->findChild<QToolButton *>("BoldButton");
    QVERIFY(!bold->isChecked());
    ds.last();
    QCOMPARE(dlg.editor()->toPlainText(), QString("Fett normal"));
    QVERIFY(bold->isChecked());
    QCOMPARE(dlg.toolbar()->fontSizeSpin()->value(), 14);
    QCOMPARE(dlg.toolbar()->fontNameCombo()->currentText(), QString("Courier New"));
    ds.first();
    QVERIFY(!bold->isChecked());
    QCOMPARE(ds.state(), Dataset::State::Browse);

    dlg.setDataSource(nullptr);
    QVERIFY(dlg.editor()->isReadOnly());
  }

  void positionIsRemembered()
  {
    {
      Tfrm_kopftext dlg;
      dlg.show();
      dlg.move(123, 87);
      dlg.resize(500, 250);
      dlg.reject();
    }
    Tfrm_kopftext again;
    again.show();
    QCOMPARE(again.size(), QSize(500, 250));
    again.reject();
  }

private:
  QTemporaryDir m_dir;
  QSqlDatabase m_db;
};

QTEST_MAIN(TestTextDialogs)
#include "tst_textdialogs.moc"
