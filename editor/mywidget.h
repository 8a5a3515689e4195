#pragma once

#include "records.h"
#include "tiledata.h"

#include <QImage>
#include <QWidget>

class ImageView;
class QCheckBox;
class QCloseEvent;
class QDragEnterEvent;
class QDropEvent;
class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QMouseEvent;
class QPushButton;
class QTabWidget;
class QTableWidget;
class QVBoxLayout;

// The editor window of one item of one catalogue: its picture, and for land and static tiles
// their tile data, and for statics their animation data. Edits leave the window only through
// the three signals, when the user presses "Apply" or "OK"; the main window stores them and
// broadcasts them back to every open editor, each of which picks out its own item.
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

    // For a tiledata.mul this program cannot write: the tile pages only show, and nothing of
    // them is ever sent.
    void setTileDataReadOnly(bool readOnly);
    bool isTileDataReadOnly() const { return tileReadOnly; }
    // The layout of the directory's tiledata.mul: the wide one adds a field for the flag bits
    // past the 32 named boxes; any other layout hides it.
    void setTileLayout(qm::TileLayout layout);
    bool showsHighFlags() const { return wideFlags; }
    // For an item of a read-only catalogue: `reason` (naming the file) refuses every new
    // picture; empty allows them again.
    void setImageReadOnly(const QString& reason);

    // Whether a page holds edits not yet applied (a picture imported, a field changed).
    bool hasUnappliedEdits() const;

    // Brings a picture from the clipboard to this item under the rules of Import and applies
    // it at once; false (with a message) when the item cannot take it.
    bool pasteImage(const QImage& picture);

    // Replaces the picture by a picture file, as Import does once the file is chosen (the
    // same size rules and the same refusals, told in a message). True when taken.
    bool importPictureFile(const QString& path);

    // The widget tree; object names as the form has always had them.
    QTabWidget* tabData;
    QWidget* tab;
    QGridLayout* tabLayout;
    ImageView* pixImage;
    QWidget* tab_2;
    QLabel* textLabel1;
    QLineEdit* lineName;
    QGroupBox* groupBox1;
    QLabel* textHighFlags;
    QLineEdit* lineHighFlags;
    QWidget* TabPage;
    QGridLayout* TabPageLayout;
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
    QWidget* TabPage_2;
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
    // The flag check boxes, by bit.
    QCheckBox* flagBoxes[32];

    // Editor state.
    quint32 flagWord = 0;
    int id = 0;
    QImage image;
    int kind = -1;
    bool imageChanged = false;
    QMenu* imageMenu;
    qm::tile_struct tile;
    bool offsetsEdited = false;

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
    // Around the edits one OK, Apply or Paste sends, so that they make one undo step.
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
    void buildImagePage();
    void buildGeneralPage();
    void buildPropertiesPage();
    void buildAnimPage();
    void buildButtons(QVBoxLayout* windowLayout);
    void connectFlagBoxes();
    // Validators and marks on every number field; what an Apply would refuse, in words.
    void makeTileNumberFields();
    void makeAnimNumberFields();
    QString tileFieldProblem() const;
    QString animFieldProblem() const;
    // Sends the edits; refuses (with a message naming the field) while a field holds no
    // acceptable number, and then sends nothing.
    bool sendEdits();
    void showImage();
    // The numeric fields of the "Properties" page, in the order they are read back.
    QList<QLineEdit*> staticFields() const;
    QList<QLineEdit*> animFields() const;
    template <typename Visit>
    void forEachTileBox(Visit&& visit) const;
    bool tilePageEdited() const;
    bool animPageEdited() const;
    // A picture brought to this item's kind; null (with a message under `title`) when the
    // item cannot take it.
    QImage pictureForItem(const QImage& picture, const QString& source, const QString& title);

    bool tileReadOnly = false;
    bool wideFlags = false;
    QString imageReadOnly;
};
