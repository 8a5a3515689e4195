// Animated statics and the grid's preview hue: the AnimData page plays the frames as the game
// times them, from the values as typed, against a fake clock; View → Preview Hue draws every
// thumbnail hued and refuses a number the directory's hues lack; animated statics carry a mark.
#include "animpage.h"
#include "animplayer.h"
#include "cataloguegridmodel.h"
#include "cataloguepane.h"
#include "cataloguepanes.h"
#include "demohues.h"
#include "hueapply.h"
#include "itemwindowset.h"
#include "mywidget.h"
#include "thumbnailcache.h"
#include "windowfixture.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using namespace qm;

namespace {

void type(QLineEdit* box, const QString& text)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
}

QImage greys(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb((x + y) * 8 % 256, (x + y) * 8 % 256, (x + y) * 8 % 256));
    return image;
}

} // namespace

class TestAnimGridPreview : public QObject {
    Q_OBJECT

private slots:
    void animationPlaysTypedValuesOnAFakeClock()
    {
        MainWindowFixture f;
        EditSession& session = *f.w->editSession();
        for (int i = 0; i < 3; ++i)
            QVERIFY(session.setImage(Static, 10 + i, filledImage(6, 6, qRgb(40 * i + 20, 10, 10))));
        const anim_st before = session.anim(10);
        myWidget* editor = f.w->itemWindows()->open(Static, 10);
        AnimPlayer* player = editor->TabPage_2->player();
        qint64 now = 0;
        player->setClock([&now] { return now; });

        // Two frames (statics 11 and 12), the first after 2 × 50 ms, each for 3 × 50 ms.
        type(editor->lineFrameCount, "2");
        type(editor->lineFrameStart, "2");
        type(editor->lineFrameInterval, "3");
        editor->table1->item(0, 0)->setText("1");
        editor->table1->item(1, 0)->setText("2");

        struct Step {
            qint64 at;
            int frame;
            int shown;
        };
        for (const Step& s : { Step { 0, -1, 10 }, Step { 99, -1, 10 }, Step { 100, 0, 11 }, Step { 249, 0, 11 },
                               Step { 250, 1, 12 }, Step { 400, 0, 11 }, Step { 550, 1, 12 } }) {
            now = s.at;
            player->tick();
            QCOMPARE(player->frame(), s.frame);
            QCOMPARE(player->shownId(), s.shown);
            QCOMPARE(player->shownPicture(), session.image(Static, s.shown));
        }

        // Pause holds the frame whatever the clock does; Play goes on from where it stood.
        now = 260;
        player->tick();
        editor->findChild<QPushButton*>("animPlay")->click();
        QVERIFY(!player->isPlaying());
        now = 5000;
        player->tick();
        QCOMPARE(player->frame(), 1);
        editor->findChild<QPushButton*>("animPlay")->click();
        now = 5000 + 140;   // 400 ms into the animation
        player->tick();
        QCOMPARE(player->frame(), 0);

        // A typed value restarts from the new record; a frame outside the statics is empty.
        now = 10000;
        editor->table1->item(0, 0)->setText("-20");
        now = 10100;
        player->tick();
        QCOMPARE(player->frame(), 0);
        QCOMPARE(player->shownId(), -1);
        QVERIFY(player->shownPicture().isNull());
        // A count outside 1..64 is no animation: the static's own picture.
        type(editor->lineFrameCount, "0");
        now = 20000;
        player->tick();
        QCOMPARE(player->frame(), -1);
        QCOMPARE(player->shownId(), 10);

        // Nothing was applied: the session's record is as it was.
        QCOMPARE(session.anim(10), before);
        QVERIFY(editor->hasUnappliedEdits());
    }

    void gridPreviewHueDrawsHuedThumbnailsAndMarksAnimatedStatics()
    {
        MainWindowFixture f;
        writeBytes(f.dir.path() + QStringLiteral("/hues.mul"), demoHueFileBytes(2));
        f.w->editSession()->open(f.dir.path());
        EditSession& session = *f.w->editSession();
        QVERIFY(session.setImage(Static, 1, greys(20, 16)));
        QVERIFY(session.setImage(Gump, 1, greys(12, 10)));
        tile_struct tile = session.tile(Static, 1);
        tile.flags |= kAnimatedFlag;
        QVERIFY(session.setTile(Static, 1, tile));
        tile = session.tile(Static, 0);
        tile.flags &= ~kAnimatedFlag;
        QVERIFY(session.setTile(Static, 0, tile));

        CataloguePanes* panes = f.w->cataloguePanes();
        ThumbnailCache* cache = panes->thumbnails();
        auto thumbnail = [&](ItemKind kind, int id) {
            cache->thumbnail(kind, id);
            cache->waitUntilIdle();
            return cache->thumbnail(kind, id).toImage().convertToFormat(QImage::Format_ARGB32);
        };
        auto expected = [&](ItemKind kind, int id, int hue) {
            const QImage stored = session.image(kind, id);
            const QImage shown = hue ? applyHue(stored, *session.hues().hue(hue), HueMode::Full) : stored;
            return ThumbnailCache::fitToCell(shown, cache->cellSize()).convertToFormat(QImage::Format_ARGB32);
        };

        QAction* action = f.w->findChild<QAction*>("viewPreviewHueAction");
        QVERIFY(action);
        f.dialogs.textAnswers << "7";
        action->trigger();
        QCOMPARE(panes->previewHue(), 7);
        QCOMPARE(thumbnail(Static, 1), expected(Static, 1, 7));
        QCOMPARE(thumbnail(Gump, 1), expected(Gump, 1, 7));

        // A number the file lacks is told and changes nothing; 0 brings the stored colours back.
        f.dialogs.textAnswers << "17";
        action->trigger();
        QCOMPARE(panes->previewHue(), 7);
        QVERIFY(f.dialogs.messages.last().contains("17"));
        f.dialogs.textAnswers << "0";
        action->trigger();
        QCOMPARE(panes->previewHue(), 0);
        QCOMPARE(thumbnail(Static, 1), expected(Static, 1, 0));

        CatalogueGridModel* statics = f.w->paneForKind(Static)->model();
        QVERIFY(statics->data(statics->index(statics->rowOf(1)), CatalogueGridModel::AnimatedRole).toBool());
        QVERIFY(!statics->data(statics->index(statics->rowOf(0)), CatalogueGridModel::AnimatedRole).toBool());
        CatalogueGridModel* gumps = f.w->paneForKind(Gump)->model();
        QVERIFY(!gumps->data(gumps->index(gumps->rowOf(1)), CatalogueGridModel::AnimatedRole).toBool());
    }
};

QTEST_MAIN(TestAnimGridPreview)
#include "tst_animgrid_preview.moc"
