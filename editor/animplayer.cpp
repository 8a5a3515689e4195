#include "animplayer.h"

#include "animtiming.h"
#include "formlayout.h"

#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <memory>

using namespace qm;

AnimPlayer::AnimPlayer(QWidget* parent)
    : QWidget(parent)
    , m_timer(new QTimer(this))
{
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    m_clock = [started] { return started->elapsed(); };

    auto* layout = new QHBoxLayout(this);
    form::nested(layout);
    m_view = form::named(new QLabel(this), "animPicture");
    m_view->setAlignment(Qt::AlignCenter);
    m_view->setMinimumSize(64, 64);
    m_playButton = form::named(new QPushButton(this), "animPlay");
    m_line = form::named(new QLabel(this), "animFrame");
    m_line->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* side = new QVBoxLayout;
    form::nested(side);
    side->addWidget(m_playButton);
    side->addWidget(m_line);
    side->addStretch(1);
    layout->addWidget(m_view, 1);
    layout->addLayout(side);

    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &AnimPlayer::tick);
    connect(m_playButton, &QPushButton::clicked, this, [this] { m_playing ? pause() : play(); });
    retranslate();
}

void AnimPlayer::retranslate()
{
    m_playButton->setText(m_playing ? form::text("Pause") : form::text("Play"));
    if (m_frame == -2)
        return;
    const QString id = m_shownId < 0 ? form::text("none")
                                     : QStringLiteral("0x%1").arg(m_shownId, 4, 16, QLatin1Char('0'));
    m_line->setText(m_frame < 0 ? form::text("Own picture: static %1").arg(id)
                                : form::text("Frame %1: static %2").arg(m_frame + 1).arg(id));
}

void AnimPlayer::setPictureSource(PictureSource source)
{
    m_source = std::move(source);
    m_frame = m_shownId = -2;
    tick();
}

void AnimPlayer::setClock(Clock clock)
{
    m_clock = std::move(clock);
    setRecord(m_record);
}

void AnimPlayer::setStaticId(int id)
{
    m_staticId = id;
    setRecord(m_record);
}

void AnimPlayer::setRecord(const anim_st& record)
{
    m_record = record;
    m_startedAt = m_clock();
    m_pausedAt = 0;
    m_frame = m_shownId = -2;
    tick();
}

qint64 AnimPlayer::elapsed() const
{
    return m_playing ? m_clock() - m_startedAt : m_pausedAt;
}

void AnimPlayer::play()
{
    if (m_playing)
        return;
    m_startedAt = m_clock() - m_pausedAt;
    m_playing = true;
    retranslate();
    tick();
}

void AnimPlayer::pause()
{
    if (!m_playing)
        return;
    m_pausedAt = elapsed();
    m_playing = false;
    m_timer->stop();
    retranslate();
}

void AnimPlayer::tick()
{
    if (m_staticId < 0)
        return;
    const qint64 now = elapsed();
    const AnimMoment moment = animMomentAt(m_record, m_staticId, now);
    // An unanimated record shows the static's own picture, as the game draws it.
    show(moment.animated ? moment.frame : -1, moment.animated ? moment.shownId : m_staticId);
    if (m_playing && moment.nextChangeMs >= 0)
        m_timer->start(int(std::clamp<qint64>(moment.nextChangeMs - now, 0, 60000)));
    else
        m_timer->stop();
}

void AnimPlayer::show(int frame, int shownId)
{
    if (frame == m_frame && shownId == m_shownId)
        return;
    m_frame = frame;
    m_shownId = shownId;
    m_picture = shownId >= 0 && m_source ? m_source(shownId) : QImage();
    m_view->setPixmap(QPixmap::fromImage(m_picture));
    retranslate();
}
