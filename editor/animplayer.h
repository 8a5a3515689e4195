#pragma once

#include "records.h"

#include <QImage>
#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;
class QTimer;

// Plays a static's animation as the game times it: the static's own picture until the first
// frame is due, then each frame's static for its interval, looping. The record is whatever the
// caller hands in (the page's values as typed); the pictures come from a source the caller
// gives, and the time from a clock that tests replace with a fake one.
class AnimPlayer : public QWidget {
    Q_OBJECT

public:
    using PictureSource = std::function<QImage(int staticId)>;
    using Clock = std::function<qint64()>;   // milliseconds, any origin, never going back

    explicit AnimPlayer(QWidget* parent = nullptr);

    void setPictureSource(PictureSource source);
    void setClock(Clock clock);
    void setStaticId(int id);
    // A new record restarts the animation from its beginning.
    void setRecord(const qm::anim_st& record);

    bool isPlaying() const { return m_playing; }
    void play();
    void pause();

    // What is shown now: the frame (-1 for the static's own picture) and the static drawn
    // (-1 when the frame points outside the statics).
    int frame() const { return m_frame; }
    int shownId() const { return m_shownId; }
    const QImage& shownPicture() const { return m_picture; }

    // Brings the view to the clock's time; the timer calls it when the next frame is due.
    void tick();

    void retranslate();

private:
    qint64 elapsed() const;
    void show(int frame, int shownId);

    PictureSource m_source;
    Clock m_clock;
    QTimer* m_timer;
    QLabel* m_view;
    QLabel* m_line;
    QPushButton* m_playButton;
    qm::anim_st m_record;
    int m_staticId = -1;
    bool m_playing = true;
    qint64 m_startedAt = 0;   // clock time of elapsed 0 while playing
    qint64 m_pausedAt = 0;    // elapsed time when paused
    int m_frame = -2;
    int m_shownId = -2;
    QImage m_picture;
};
