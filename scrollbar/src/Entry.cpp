// The library's two C entries. Nothing thrown inside reaches the host.

#include <cstring>

#include "ImageScrollBar.h"
#include "Qm_ImgScrollBar/ImageScrollBar.h"

#define QM_EXPORT extern "C" __attribute__((visibility("default")))

QM_EXPORT controls::Control* QmCreateControl(const char* progId, QWidget* parent,
                                             controls::Site* site, controls::EventSink* sink) {
    try {
        if (!progId || std::strcmp(progId, Qm_ImgScrollBar::kProgId) != 0) return nullptr;
        return new Qm_ImgScrollBar::ImageScrollBar(parent, site, sink);
    } catch (...) {
        return nullptr;
    }
}

QM_EXPORT void QmDestroyControl(controls::Control* control) {
    try {
        delete control;
    } catch (...) {
    }
}
