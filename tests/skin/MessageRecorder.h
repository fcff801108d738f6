// A parent window for controls under test: it records every window message
// its children send it, in order, and can answer them.
#pragma once
#include "WinControls.h"

#include <QWidget>
#include <functional>
#include <vector>

struct RecordedMessage {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    // WM_NOTIFY: the code and point, copied while the notice was alive.
    UINT notifyCode = 0;
    QPoint notifyPoint;
};

class MessageRecorder : public QWidget {
public:
    explicit MessageRecorder(QWidget* parent = nullptr) : QWidget(parent) { resize(400, 300); }

    std::vector<RecordedMessage> messages;
    std::function<void(const RecordedMessage&)> onMessage;

    // Messages with the number, in order.
    std::vector<RecordedMessage> With(UINT msg) const
    {
        std::vector<RecordedMessage> found;
        for (const auto& m : messages)
            if (m.msg == msg) found.push_back(m);
        return found;
    }
    // WM_COMMAND notifications with the code.
    int Commands(WORD code) const
    {
        int count = 0;
        for (const auto& m : messages)
            if (m.msg == WM_COMMAND && HIWORD(m.wParam) == code) ++count;
        return count;
    }

protected:
    bool event(QEvent* event) override
    {
        if (auto* m = WinMessageEvent::From(event)) {
            RecordedMessage record{m->msg, m->wParam, m->lParam};
            if (m->msg == WM_NOTIFY) {
                const auto* notice = reinterpret_cast<const NMMOUSE*>(m->lParam);
                record.notifyCode = notice->hdr.code;
                record.notifyPoint = notice->pt;
            }
            messages.push_back(record);
            if (onMessage) onMessage(record);
            return true;
        }
        return QWidget::event(event);
    }
};
