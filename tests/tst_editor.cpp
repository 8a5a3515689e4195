// The editor window on its own: its pages by kind, what "Apply", "OK" and "Cancel" send,
// and how the tile and animation pages read what the user typed.
#include "animpage.h"
#include "editorprobe.h"
#include "imagepage.h"
#include "imageview.h"
#include "mywidget.h"
#include "numberfield.h"
#include "scripteddialogs.h"
#include "testdata.h"
#include "tilegeneralpage.h"
#include "tilepropertiespage.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTabWidget>
#include <QTest>

using namespace qm;

namespace {

QStringList tabLabels(const myWidget& w)
{
    QStringList labels;
    for (int i = 0; i < w.tabData->count(); ++i)
        labels << w.tabData->tabText(i);
    return labels;
}

// The shared sample with a texture id, which a static does not use and must pass through.
tile_struct sampleStatic()
{
    tile_struct t = sampleStaticTile();
    t.texid = 99;
    return t;
}

// A static editor filled with sampleStatic, as the main window opens it.
void openStatic(myWidget& w, int id = 500)
{
    w.setData(1, id, QImage());
    tile_struct t = sampleStatic();
    w.setTile(1, id, t);
    anim_st a;
    a.frameCount = 4;
    for (int i = 0; i < 64; ++i)
        a.frames[size_t(i)] = qint8(i);
    w.setAnimData(id, a);
}

} // namespace

class TestEditor : public QObject {
    Q_OBJECT

private slots:
    void pagesAndCaptionFollowTheKind()
    {
        myWidget fresh;
        QCOMPARE(fresh.windowTitle(), QStringLiteral("Form1"));
        QCOMPARE(fresh.objectName(), QStringLiteral("myWidget"));

        myWidget land;
        land.setData(0, 0, QImage());
        QCOMPARE(land.windowTitle(), QStringLiteral("Land: 0x0"));
        QCOMPARE(tabLabels(land), (QStringList { "Image", "General", "Properties" }));
        // Of the properties a land tile has only its texture id.
        QVERIFY(land.lineTexid->isVisibleTo(land.TabPage));
        QVERIFY(land.textTexid->isVisibleTo(land.TabPage));
        QVERIFY(!land.lineWeight->isVisibleTo(land.TabPage));
        QVERIFY(!land.textHue->isVisibleTo(land.TabPage));

        myWidget stat;
        stat.setData(1, 500, QImage());
        QCOMPARE(stat.windowTitle(), QStringLiteral("Static: 0x1f4"));
        QCOMPARE(tabLabels(stat), (QStringList { "Image", "General", "Properties", "AnimData" }));
        QVERIFY(!stat.lineTexid->isVisibleTo(stat.TabPage));
        QVERIFY(stat.lineUnk3->isVisibleTo(stat.TabPage));

        myWidget gump;
        gump.setData(2, 12, QImage());
        QCOMPARE(gump.windowTitle(), QStringLiteral("Gump: 0xc"));
        QCOMPARE(tabLabels(gump), QStringList { "Image" });

        myWidget texture;
        texture.setData(3, 0x4000, QImage());
        QCOMPARE(texture.windowTitle(), QStringLiteral("Texture: 0x4000"));
        QCOMPARE(tabLabels(texture), QStringList { "Image" });

        QCOMPARE(stat.table1->rowCount(), 64);
        QCOMPARE(stat.table1->columnCount(), 1);
        QCOMPARE(stat.table1->horizontalHeaderItem(0)->text(), QStringLiteral("Offset"));
    }

    // The form's named members lead to the widgets the pages built under those names.
    void namedMembersAreThePagesWidgets()
    {
        myWidget w;
        QCOMPARE(w.findChild<QWidget*>("tab"), static_cast<QWidget*>(w.tab));
        QCOMPARE(w.findChild<QWidget*>("TabPage_2"), static_cast<QWidget*>(w.TabPage_2));
        QCOMPARE(w.findChild<QLineEdit*>("lineHue"), w.lineHue);
        QCOMPARE(w.findChild<QLineEdit*>("lineName"), w.lineName);
        QCOMPARE(w.findChild<QTableWidget*>("table1"), w.table1);
        QCOMPARE(w.findChild<QCheckBox*>("checkPartialHue"), w.checkPartialHue);
        QCOMPARE(w.findChild<QCheckBox*>("checkStairRight"), w.checkStairRight);
        QCOMPARE(w.findChild<QPushButton*>("pushButton1")->text(), QStringLiteral("OK"));
        QVERIFY(w.findChild<QMenu*>("imageMenu"));
        QCOMPARE(w.tabData->indexOf(w.TabPage), 2);
    }

    // Each page keeps its own edits: it says when the user changed something, keeps what
    // was typed when a record arrives, and reads back only what the user touched.
    void pagesHoldTheirEditsOnTheirOwn()
    {
        TileGeneralPage general;
        TilePropertiesPage properties;
        properties.setKind(1);
        AnimPage anim;
        QSignalSpy generalEdits(&general, &TileGeneralPage::edited);
        QSignalSpy propertyEdits(&properties, &TilePropertiesPage::edited);
        QSignalSpy animEdits(&anim, &AnimPage::edited);
        const tile_struct stored = sampleStatic();
        general.load(stored);
        properties.load(stored);
        anim.load(anim_st());
        QVERIFY(!general.hasUnappliedEdits() && !properties.hasUnappliedEdits() && !anim.hasUnappliedEdits());
        QCOMPARE(generalEdits.size() + propertyEdits.size() + animEdits.size(), 0);

        general.findChild<QCheckBox*>("checkWall")->click();
        typeInto(properties.findChild<QLineEdit*>("lineHue"), QStringLiteral("0x3"));
        anim.findChild<QTableWidget*>("table1")->item(1, 0)->setText(QStringLiteral("7"));
        QVERIFY(!generalEdits.isEmpty() && !propertyEdits.isEmpty() && !animEdits.isEmpty());
        QVERIFY(general.hasUnappliedEdits() && properties.hasUnappliedEdits() && anim.hasUnappliedEdits());

        // A record arriving meanwhile leaves the edits as typed.
        tile_struct renamed = stored;
        renamed.name = QStringLiteral("other");
        renamed.hue = 9;
        general.load(renamed);
        properties.load(renamed);
        anim_st other;
        other.frameCount = 5;
        anim.load(other);
        QCOMPARE(general.findChild<QLineEdit*>("lineName")->text(), QStringLiteral("other"));
        QCOMPARE(properties.findChild<QLineEdit*>("lineHue")->text(), QStringLiteral("0x3"));
        QVERIFY(general.findChild<QCheckBox*>("checkWall")->isChecked() != bool(stored.flags & 0x10));
        QCOMPARE(anim.record().frames[1], qint8(7));

        tile_struct back = renamed;
        QVERIFY(general.readInto(back));
        QVERIFY(properties.readInto(back));
        QCOMPARE(back.flags, stored.flags ^ 0x10);
        QCOMPARE(back.hue, quint8(3));
        QCOMPARE(back.name, QStringLiteral("other"));
        QCOMPARE(back.weight, stored.weight);
        QVERIFY(!general.hasUnappliedEdits() && !properties.hasUnappliedEdits());
        QVERIFY(anim.takeEdits());
        QVERIFY(!anim.takeEdits());
    }

    void eachFlagBoxDrivesItsOwnBit()
    {
        // The names other tools and translations know, misspellings included.
        const char* names[32] = {
            "checkBackground", "checkWeapon", "checkTransparent", "checkTranslucent",
            "checkWall", "checkDamaging", "checkImpassable", "checkWet",
            "checkUnknown", "checkSurface", "checkBridge", "checkGeneric",
            "checkWindow", "checkNoShoot", "checkPrefixA", "checkPrefixAn",
            "checkInternal", "checkFoliage", "checkPartialHue", "checkUnknown1",
            "checkMap", "checkContainer", "checkWearable", "checkLightSource",
            "checkAnimated", "checkNoDiagnol", "checkUnknown2", "checkArmor",
            "checkRoof", "checkDoor", "checkStairBack", "checkStairRight",
        };
        myWidget w;
        openStatic(w);
        tile_struct none = sampleStatic();
        none.flags = 0;
        w.setTile(1, 500, none);
        for (int bit = 0; bit < 32; ++bit) {
            auto* box = w.findChild<QCheckBox*>(QString::fromLatin1(names[bit]));
            QVERIFY2(box, names[bit]);
            box->click();
            QCOMPARE(w.tab_2->flagWord(), quint32(1) << bit);
            box->click();
            QCOMPARE(w.tab_2->flagWord(), 0u);
        }
        QVERIFY(w.metaObject()->indexOfSlot("setParitalHue(bool)") >= 0);
        QVERIFY(w.metaObject()->indexOfSlot("setNoDiagnol(bool)") >= 0);
    }

    void setTileShowsEveryFieldInItsBase()
    {
        myWidget w;
        openStatic(w);
        QCOMPARE(w.lineName->text(), sampleStaticTile().name);
        QCOMPARE(w.lineWeight->text(), QStringLiteral("245"));
        QCOMPARE(w.lineHue->text(), QStringLiteral("0xef"));
        QCOMPARE(w.lineAnimid->text(), QStringLiteral("64268"));
        QCOMPARE(w.lineUnk->text(), QStringLiteral("0x708"));
        QCOMPARE(w.lineQuality->text(), QStringLiteral("0x6"));
        QVERIFY(w.findChild<QCheckBox*>("checkTransparent")->isChecked());
        QCOMPARE(w.tab_2->flagWord(), 0x81020304u);

        myWidget land;
        land.setData(0, 7, QImage());
        tile_struct t;
        t.texid = 0x1f;
        land.setTile(0, 7, t);
        QCOMPARE(land.lineTexid->text(), QStringLiteral("0x1f"));
    }

    // Each field takes its own range, decimal or hexadecimal after 0x. What it cannot hold
    // is marked while typed and refused by Apply and OK with a message naming the field;
    // nothing is cut to fit.
    void numberFieldsTakeTheirRange_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("expected");   // -1: refused
        QTest::addColumn<QString>("label");
        QTest::newRow("hue 0X1f") << "lineHue" << "0X1f" << 31 << "Hue";
        QTest::newRow("hue blanks around") << "lineHue" << "  0x1f " << 31 << "Hue";
        QTest::newRow("hue 1f is no number") << "lineHue" << "1f" << -1 << "Hue";
        QTest::newRow("hue emptied") << "lineHue" << "" << -1 << "Hue";
        QTest::newRow("weight 255") << "lineWeight" << "255" << 255 << "Weight";
        QTest::newRow("weight 300 is past 8 bits") << "lineWeight" << "300" << -1 << "Weight";
        QTest::newRow("anim id 65535") << "lineAnimid" << "65535" << 65535 << "Anim ID";
        QTest::newRow("anim id 70000 is past 16 bits") << "lineAnimid" << "70000" << -1 << "Anim ID";
        QTest::newRow("unknown2 0x12345 is past 16 bits") << "lineUnk2" << "0x12345" << -1 << "Unknown2";
        QTest::newRow("negative height") << "lineHeight" << "-1" << -1 << "Height";
        QTest::newRow("sign after 0x") << "lineUnk3" << "0x-1" << -1 << "Unknown3";
    }

    void numberFieldsTakeTheirRange()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(int, expected);
        QFETCH(QString, label);
        ScriptedDialogs dialogs;
        myWidget w;
        openStatic(w);
        w.show();
        EditorProbe sent(w);
        QLineEdit* box = w.findChild<QLineEdit*>(field);
        typeInto(box, typed);
        QCOMPARE(box->text(), typed);   // what was typed stays to be corrected
        QCOMPARE(isMarkedUnacceptable(box), expected < 0);
        w.clickOK();
        if (expected < 0) {
            QCOMPARE(sent.total(), 0);
            QVERIFY(w.isVisible());
            QCOMPARE(dialogs.messages.size(), 1);
            QVERIFY2(dialogs.messages.first().contains(QStringLiteral("for %1 (").arg(label)),
                     qPrintable(dialogs.messages.first()));
            return;
        }
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(!w.isVisible());
        QCOMPARE(sent.tiles.size(), 1);
        const tile_struct& t = sent.tiles.first();
        const QMap<QString, int> read {
            { "lineHue", t.hue },       { "lineWeight", t.weight }, { "lineAnimid", t.animid },
            { "lineUnk2", t.unk2 },     { "lineHeight", t.height },
        };
        QCOMPARE(read.value(field), expected);
    }

    void onlyUserEditsAreSent()
    {
        myWidget w;
        openStatic(w);
        EditorProbe sent(w);

        // Filling the pages is no edit.
        w.clickApply();
        QCOMPARE(sent.total(), 0);

        // A flag switched on and off again leaves nothing to send.
        w.findChild<QCheckBox*>("checkWall")->click();
        w.findChild<QCheckBox*>("checkWall")->click();
        w.clickApply();
        QCOMPARE(sent.total(), 0);

        // Typing the value that is already there is an edit.
        typeInto(w.lineWeight, QStringLiteral("245"));
        w.clickApply();
        QCOMPARE(sent.tiles.size(), 1);
        QVERIFY(sent.tiles.first() == sampleStatic());
        QCOMPARE(sent.senders.first(), qMakePair(1, 500));

        // Sent once; a second "Apply" has nothing new.
        w.clickApply();
        QCOMPARE(sent.total(), 1);

        // The name goes back as typed, blanks included.
        typeInto(w.lineName, QStringLiteral(" cask "));
        w.findChild<QCheckBox*>("checkTransparent")->click();
        w.clickApply();
        QCOMPARE(sent.tiles.size(), 2);
        QCOMPARE(sent.tiles.last().name, QStringLiteral(" cask "));
        QCOMPARE(sent.tiles.last().flags, 0x81020300u);
        QCOMPARE(sent.tiles.last().texid, quint16(99));
    }

    // The boxes drive the low 32 flag bits; a wide record's high bits are neither an edit
    // nor lost by one.
    void flagBoxesKeepTheHighFlagBits()
    {
        myWidget w;
        w.setData(1, 500, QImage());
        tile_struct wide = sampleStatic();
        wide.flags |= 0x0000000500000000ull;
        w.setTile(1, 500, wide);
        anim_st anim;
        w.setAnimData(500, anim);
        EditorProbe sent(w);
        w.clickApply();
        QCOMPARE(sent.total(), 0);
        w.findChild<QCheckBox*>("checkTransparent")->click();
        w.clickApply();
        QCOMPARE(sent.tiles.size(), 1);
        QCOMPARE(sent.tiles.first().flags, 0x0000000581020300ull);
    }

    void landSendsItsTextureIdAndKeepsTheRest()
    {
        myWidget w;
        w.setData(0, 3, QImage());
        tile_struct t;
        t.name = QStringLiteral("grass");
        t.texid = 2;
        t.weight = 77;   // a land record carries no weight; whatever is there stays
        w.setTile(0, 3, t);
        EditorProbe sent(w);
        typeInto(w.lineTexid, QStringLiteral("0x10"));
        typeInto(w.lineFrameCount, QStringLiteral("9"));   // no animation page for land
        w.clickOK();
        QCOMPARE(sent.tiles.size(), 1);
        QCOMPARE(sent.tiles.first().texid, quint16(16));
        QCOMPARE(sent.tiles.first().weight, quint8(77));
        QCOMPARE(sent.tiles.first().name, QStringLiteral("grass"));
        QCOMPARE(sent.anims.size(), 0);
    }

    void gumpsAndTexturesSendOnlyImages()
    {
        for (int kind : { 2, 3 }) {
            myWidget w;
            w.setData(kind, 5, filledImage(10, 10, 0xffc82828));
            EditorProbe sent(w);
            w.setFlag(4, true);
            typeInto(w.lineName, QStringLiteral("x"));
            typeInto(w.lineFrameCount, QStringLiteral("3"));
            w.table1->item(0, 0)->setText(QStringLiteral("5"));
            w.clickApply();
            QCOMPARE(sent.total(), 0);
            QVERIFY(!w.hasUnappliedEdits());
            QVERIFY(importPicture(w, filledImage(12, 12, 0xffc82828)));
            QVERIFY(w.hasUnappliedEdits());
            w.clickApply();
            w.clickApply();   // sent once
            QCOMPARE(sent.images.size(), 1);
            QCOMPARE(sent.images.first().size(), kind == 2 ? QSize(12, 12) : QSize(64, 64));
            QCOMPARE(sent.total(), 1);
        }
    }

    void okAndCancel()
    {
        myWidget untouched;
        openStatic(untouched);
        untouched.show();
        EditorProbe none(untouched);
        untouched.clickOK();
        QCOMPARE(none.total(), 0);
        QVERIFY(!untouched.isVisible());

        myWidget edited;
        openStatic(edited);
        edited.show();
        EditorProbe sent(edited);
        typeInto(edited.lineHue, QStringLiteral("0x2"));
        QVERIFY(importPicture(edited, filledImage(3, 3, 0xffc82828)));
        edited.clickCancel();
        QCOMPARE(sent.total(), 0);
        QVERIFY(!edited.isVisible());
    }

    void broadcastsForOtherItemsLeaveTheWindowAlone()
    {
        myWidget w;
        openStatic(w, 5);
        w.show();
        EditorProbe sent(w);
        QImage other = filledImage(4, 4, 0xffc82828);
        tile_struct renamed = sampleStatic();
        renamed.name = QStringLiteral("other");
        anim_st anim;
        anim.frameCount = 99;

        w.updateImage(0, 5, other);       // same id, other kind
        w.updateImage(1, 6, other);
        w.setTile(0, 5, renamed);
        w.setTile(1, 6, renamed);
        w.setAnimData(6, anim);
        w.rcvDelete(0, 5);
        w.rcvDelete(1, 6);
        QVERIFY(w.image().isNull());
        QCOMPARE(w.lineName->text(), sampleStaticTile().name);
        QCOMPARE(w.lineFrameCount->text(), QStringLiteral("4"));
        QVERIFY(w.isVisible());

        // An animation record never reaches a window that is not a static.
        myWidget land;
        land.setData(0, 6, QImage());
        land.setAnimData(6, anim);
        QCOMPARE(land.lineFrameCount->text(), QString());

        // Its own broadcast is taken, but a picture imported and not yet applied stays.
        w.updateImage(1, 5, other);
        QCOMPARE(w.image().size(), QSize(4, 4));
        QVERIFY(importPicture(w, filledImage(8, 8, 0xffc82828)));
        w.updateImage(1, 5, other);
        QCOMPARE(w.image().size(), QSize(8, 8));
        QVERIFY(w.hasUnappliedEdits());

        // Deleting the item closes the window without sending what was pending.
        typeInto(w.lineHue, QStringLiteral("7"));
        w.rcvDelete(1, 5);
        QVERIFY(!w.isVisible());
        QCOMPARE(sent.total(), 0);
    }

    void offsetsTravelAsSignedBytes()
    {
        myWidget w;
        openStatic(w);
        EditorProbe sent(w);
        // The main window answers every record with a broadcast; do the same here.
        connect(&w, &myWidget::animChange, &w, &myWidget::setAnimData);

        // Right after filling, nothing counts as edited.
        QVERIFY(!w.hasUnappliedEdits());
        w.clickApply();
        QCOMPARE(sent.anims.size(), 0);

        // Offsets take -128 to 255; a refused one holds back the whole page.
        ScriptedDialogs dialogs;
        w.table1->item(3, 0)->setText(QStringLiteral("200"));
        w.table1->item(4, 0)->setText(QStringLiteral("-128"));
        w.table1->item(5, 0)->setText(QStringLiteral("-129"));
        w.table1->item(6, 0)->setText(QStringLiteral("0x10"));
        w.clickApply();
        QCOMPARE(sent.anims.size(), 0);
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(dialogs.messages.first().contains(QLatin1String("'-129' is no value for Offset 6")));
        w.table1->item(5, 0)->setText(QStringLiteral("abc"));
        w.clickApply();
        QCOMPARE(sent.anims.size(), 0);
        w.table1->item(5, 0)->setText(QStringLiteral("255"));
        w.clickApply();
        QCOMPARE(sent.anims.size(), 1);
        const anim_st& a = sent.anims.first();
        QCOMPARE(quint8(a.frames[3]), quint8(200));
        QCOMPARE(a.frames[4], qint8(-128));
        QCOMPARE(a.frames[5], qint8(-1));
        QCOMPARE(a.frames[6], qint8(16));
        QCOMPARE(a.frames[63], qint8(63));   // the whole record travels
        QCOMPARE(a.frameCount, qint8(4));
        QCOMPARE(w.table1->item(3, 0)->text(), QStringLiteral("-56"));
        QVERIFY(!w.hasUnappliedEdits());

        w.clickApply();
        QCOMPARE(sent.anims.size(), 1);

        typeInto(w.lineFrameInterval, QStringLiteral("256"));
        QVERIFY(isMarkedUnacceptable(w.lineFrameInterval));
        w.clickApply();
        QCOMPARE(sent.anims.size(), 1);
        QVERIFY(dialogs.messages.last().contains(QLatin1String("for Interval (-128 to 255")));
        typeInto(w.lineFrameInterval, QStringLiteral("130"));
        QVERIFY(!isMarkedUnacceptable(w.lineFrameInterval));
        w.clickApply();
        QCOMPARE(sent.anims.size(), 2);
        QCOMPARE(sent.anims.last().frameInterval, qint8(-126));
        QCOMPARE(sent.anims.last().frames[3], qint8(-56));
    }

    void readOnlyTileDataSendsNoTile()
    {
        myWidget w;
        openStatic(w);
        w.setTileDataReadOnly(true);
        QVERIFY(!w.findChild<QCheckBox*>("checkWall")->isEnabled());
        QVERIFY(w.lineName->isReadOnly());
        QVERIFY(w.lineHue->isReadOnly());
        EditorProbe sent(w);
        w.setFlag(4, true);
        w.lineName->setModified(true);
        w.table1->item(0, 0)->setText(QStringLiteral("5"));
        w.clickApply();
        QCOMPARE(sent.tiles.size(), 0);
        QCOMPARE(sent.anims.size(), 1);   // animation data is another file
    }
};

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
