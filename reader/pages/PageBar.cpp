#include "pages/PageBar.h"

#include <Qm_ImgScrollBar/ImageScrollBar.h>
#include <QWidget>
#include <algorithm>

#include "controls/HostedControl.h"
#include "controls/Library.h"
#include "controls/Picture.h"
#include "pages/DesignBag.h"

namespace isb = Qm_ImgScrollBar::_ImageScrollBar;

PageBar::PageBar() = default;
PageBar::~PageBar() = default;

QString PageBar::create(const QString& library, QWidget* parent, dlg::Dialogs& dialogs) {
    QString error;
    const std::unique_ptr<controls::Library> lib = controls::Library::Load(library, &error);
    if (!lib) return error;
    m_control =
        controls::HostedControl::Create(*lib, Qm_ImgScrollBar::kProgId, parent, dialogs, &error);
    if (!m_control) return error.isEmpty() ? QStringLiteral("control not created") : error;
    // The bar's saved properties travel in the window's design.
    DesignBag design(QStringLiteral(":/window/Frm_TxtViewer.design"),
                     QStringLiteral("ImageScrollBar1"));
    m_control->load(design);
    m_control->onEvent(Qm_ImgScrollBar::__ImageScrollBar::Change, [this] {
        if (onChange) onChange();
    });
    m_control->widget()->show();
    return {};
}

QWidget* PageBar::widget() const {
    return m_control ? m_control->widget() : nullptr;
}

void PageBar::applySkin(const QString& skinDir, qreal ratio) {
    if (!m_control) return;
    m_control->putLong(isb::Min, 1);
    m_control->putLong(isb::Orientation, Qm_ImgScrollBar::oHorizontal);
    m_control->putBool(isb::BgPicture, true);
    m_control->putBool(isb::ArrowVisible, false);
    applyPictures(skinDir, ratio);
    m_control->putBool(isb::AutoSize, true);
    m_control->putBool(isb::Enabled, false);
}

void PageBar::applyPictures(const QString& skinDir, qreal ratio) {
    if (!m_control) return;
    m_control->putPicture(isb::TickPicture, controls::LoadPicture(skinDir + "/b_tick.bmp", ratio));
    m_control->putPicture(isb::ScrollBgPicture,
                          controls::LoadPicture(skinDir + "/bgscroll.bmp", ratio));
    // The disabled background is the same file, loaded a second time.
    m_control->putPicture(isb::ScrollEnablePicture,
                          controls::LoadPicture(skinDir + "/bgscroll.bmp", ratio));
}

void PageBar::moveTo(int x, int y) {
    if (QWidget* w = widget()) w->move(x, y);
}

void PageBar::setMin(int32_t v) {
    if (m_control) {
        m_control->putLong(isb::Min, v);
        return;
    }
    if (v <= m_max) m_min = v;
    if (m_value < m_min) setValue(m_min);
}

void PageBar::setMax(int32_t v) {
    if (m_control) {
        m_control->putLong(isb::Max, v);
        return;
    }
    if (v >= m_min) m_max = v;
}

void PageBar::setValue(int32_t v) {
    if (m_control) {
        m_control->putLong(isb::Value, v);
        return;
    }
    // Without the control the bar still clamps and reports every set, as the control does.
    m_value = std::clamp(v, m_min, std::max(m_min, m_max));
    if (onChange) onChange();
}

int32_t PageBar::value() const {
    return m_control ? m_control->getLong(isb::Value) : m_value;
}

void PageBar::setEnabled(bool on) {
    if (m_control) {
        m_control->putBool(isb::Enabled, on);
        return;
    }
    m_enabled = on;
}

bool PageBar::enabled() const {
    return m_control ? m_control->getBool(isb::Enabled) : m_enabled;
}
