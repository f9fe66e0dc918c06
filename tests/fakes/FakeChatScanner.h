#pragma once
#include <QStringList>

#include "base/ChatScanner.h"

namespace melodrop::testing {

// A scanner the test feeds by hand: say() raises ChatLine only while the scanner is on.
class FakeChatScanner : public ChatScanner {
    Q_OBJECT
public:
    void ScanOn() override {
        on = true;
        calls << QStringLiteral("ScanOn");
    }
    void ScanOff() override {
        on = false;
        calls << QStringLiteral("ScanOff");
    }
    bool isScanning() const override { return on; }
    void say(const QString& screenName, const QString& text) {
        if (on) emit ChatLine(screenName, text);
    }
    bool on = false;
    QStringList calls;
};

}  // namespace melodrop::testing
