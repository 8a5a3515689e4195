#pragma once

#include "records.h"
#include "tiledata.h"

#include <QImage>
#include <QWidget>

class AnimPage;
class ImagePage;
class ImageView;
class QCheckBox;
class QCloseEvent;
class QDragEnterEvent;
class QDropEvent;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMouseEvent;
class QPushButton;
class QTabWidget;
class QTableWidget;
class TileGeneralPage;
class TilePropertiesPage;

// The editor window of one item of one catalogue: its picture, and for land and static tiles
// their tile data, and for statics their animation data. Each tab is a page widget that holds
// its own edits; the window fixes the item's identity, picks the pages its kind has, and
// sends what the pages hold through the three signals when the user presses "Apply" or "OK".
// The main window stores the edits and broadcasts them back to every open editor, each of
// which picks out its own item.
class myWidget : public QWidget {
    Q_OBJECT

public:
    explicit myWidget(QWidget* parent = nullptr, const char* name = nullptr,
                      Qt::WindowFlags fl = Qt::WindowFlags());
    ~myWidget() override;

    // Copies the tile pages into `t`; true when anything differs from what was received.
    virtual bool readTile(qm::tile_struct& t);
    // Whether the animation page was edited since the last call; clears the marks.
    virtual bool animEdited();
    // A complete record built from the animation page as it stands.
    virtual qm::anim_st readAnimData();

    // The item this window edits, as setData fixed it (-1 and 0 before).
    int kind() const { return m_kind; }
    int itemId() const { return m_id; }
    // The picture the window shows: the stored one, or one imported and not yet sent.
    const QImage& image() const;

    // For a tiledata.mul this program cannot write: the tile pages only show, and nothing of
    // them is ever sent.
    void setTileDataReadOnly(bool readOnly);
    bool isTileDataReadOnly() const;
    // The layout of the directory's tiledata.mul: the wide one adds a field for the flag bits
    // past the 32 named boxes; any other layout hides it.
    void setTileLayout(qm::TileLayout layout);
    bool showsHighFlags() const;
    // For an item of a read-only catalogue: `reason` (naming the file) refuses every new
    // picture; empty allows them again.
    void setImageReadOnly(const QString& reason);

    // Whether a page holds edits not yet applied (a picture imported, a field changed).
    bool hasUnappliedEdits() const;

    // Brings a picture from the clipboard to this item under the rules of Import: it waits on
    // the picture page for OK or Apply, and Cancel drops it; false (with a message) when the
    // item cannot take it.
    bool pasteImage(const QImage& picture);

    // Replaces the picture by a picture file, as Import does once the file is chosen (the
    // same size rules and the same refusals, told in a message). True when taken.
    bool importPictureFile(const QString& path);

    // The form's widgets under the object names users' scripts know. The pages own them and
    // keep the edit state; these pointers only lead to them.
    QTabWidget* tabData;
    ImagePage* tab;
    ImageView* pixImage;
    TileGeneralPage* tab_2;
    QLabel* textLabel1;
    QLineEdit* lineName;
    QGroupBox* groupBox1;
    QCheckBox* checkBackground;
    QCheckBox* checkWeapon;
    QCheckBox* checkTransparent;
    QCheckBox* checkTranslucent;
    QCheckBox* checkWall;
    QCheckBox* checkDamaging;
    QCheckBox* checkImpassable;
    QCheckBox* checkWet;
    QCheckBox* checkUnknown;
    QCheckBox* checkSurface;
    QCheckBox* checkBridge;
    QCheckBox* checkGeneric;
    QCheckBox* checkWindow;
    QCheckBox* checkNoShoot;
    QCheckBox* checkPrefixA;
    QCheckBox* checkPrefixAn;
    QCheckBox* checkInternal;
    QCheckBox* checkFoliage;
    QCheckBox* checkPartialHue;
    QCheckBox* checkUnknown1;
    QCheckBox* checkMap;
    QCheckBox* checkContainer;
    QCheckBox* checkWearable;
    QCheckBox* checkLightSource;
    QCheckBox* checkAnimated;
    QCheckBox* checkNoDiagnol;
    QCheckBox* checkUnknown2;
    QCheckBox* checkArmor;
    QCheckBox* checkRoof;
    QCheckBox* checkDoor;
    QCheckBox* checkStairBack;
    QCheckBox* checkStairRight;
    TilePropertiesPage* TabPage;
    QLabel* textWeight;
    QLineEdit* lineWeight;
    QLabel* textUnk;
    QLineEdit* lineUnk;
    QLabel* textQuality;
    QLineEdit* lineQuality;
    QLabel* textUnk1;
    QLineEdit* lineUnk1;
    QLabel* textQuantity;
    QLineEdit* lineQuantity;
    QLabel* textUnk2;
    QLineEdit* lineUnk2;
    QLabel* textHeight;
    QLineEdit* lineHeight;
    QLabel* textUnk3;
    QLineEdit* lineUnk3;
    QLabel* textAnimid;
    QLineEdit* lineAnimid;
    QLabel* textTexid;
    QLineEdit* lineTexid;
    QLabel* textHue;
    QLineEdit* lineHue;
    AnimPage* TabPage_2;
    QLabel* textLabel1_2;
    QLineEdit* lineFrameCount;
    QLabel* textLabel2;
    QLineEdit* lineFrameUnknown;
    QGroupBox* groupBox2;
    QLabel* textLabel3;
    QLineEdit* lineFrameStart;
    QLabel* textLabel4;
    QLineEdit* lineFrameInterval;
    QGroupBox* groupBox3;
    QTableWidget* table1;
    QPushButton* pushButton3;
    QPushButton* pushButton2;
    QPushButton* pushButton1;

public slots:
    virtual void setTile(int, int id, qm::tile_struct& data);
    virtual void setData(int, int id, QImage image);
    virtual void clickOK();
    virtual void clickApply();
    virtual void clickCancel();
    virtual void updateImage(int, int tid, QImage& image);
    virtual void rcvDelete(int, int tid);
    virtual void expImage();
    virtual void impImage();
    virtual void cropImage(QImage&);
    virtual void setBackground(bool);
    virtual void setWeapon(bool);
    virtual void setTransparent(bool);
    virtual void setTranslucent(bool);
    virtual void setWall(bool);
    virtual void setDamaging(bool);
    virtual void setImpassable(bool);
    virtual void setWet(bool);
    virtual void setUnknown(bool);
    virtual void setSurface(bool);
    virtual void setBridge(bool);
    virtual void setGeneric(bool);
    virtual void setWindow(bool);
    virtual void setNoShoot(bool);
    virtual void setPrefixA(bool);
    virtual void setPrefixAn(bool);
    virtual void setInternal(bool);
    virtual void setFoliage(bool);
    virtual void setParitalHue(bool);
    virtual void setUnknown1(bool);
    virtual void setMap(bool);
    virtual void setContainer(bool);
    virtual void setWearable(bool);
    virtual void setLightSource(bool);
    virtual void setAnimated(bool);
    virtual void setNoDiagnol(bool);
    virtual void setUnknown2(bool);
    virtual void setArmor(bool);
    virtual void setRoof(bool);
    virtual void setDoor(bool);
    virtual void setStairBack(bool);
    virtual void setStairRight(bool);
    virtual void setFlag(int, bool state);
    virtual void setFlags(int);
    virtual void setAnimData(int, qm::anim_st& data);
    virtual void valueChanged(int, int col);

signals:
    void imgChange(int, int, QImage&);
    void tileChange(int, int, qm::tile_struct&);
    void animChange(int, qm::anim_st&);
    // Around the edits one OK or Apply sends, so that they make one undo step.
    void editsBegin(int, int);
    void editsEnd(int, int);

protected:
    // The image page's menu opens on a right-button release while the page is shown.
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Closing the editor closes the workspace window around it, so no empty frame is left.
    void closeEvent(QCloseEvent* event) override;
    // A picture file dragged from the desktop is imported as if chosen in Import's dialog.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

protected slots:
    virtual void languageChange();

private:
    void buildButtons();
    // Points the form's named members at the widgets the pages built.
    void findFormWidgets();
    void connectFlagBoxes();
    // Sends the edits; refuses (with a message naming the field) while a field holds no
    // acceptable number, and then sends nothing.
    bool sendEdits();
    void showIcon(const QImage& picture);

    int m_id = 0;
    int m_kind = -1;
    // The last tile record received or sent.
    qm::tile_struct m_tile;
};
