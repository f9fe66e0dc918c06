#pragma once
#include <QMap>
#include <QStringList>

#include "net/WebTransfer.h"

namespace melodrop::testing {

// Answers URLs from a map; anything else fails as an unreachable server would.
class FakeWebTransfer : public WebTransfer {
public:
    FetchResult fetch(const QString& url) override {
        requests << url;
        if (!bodies.contains(url)) return {false, {}, QStringLiteral("connection refused")};
        return {true, bodies.value(url), {}};
    }
    bool isBusy() const override { return busy; }

    QMap<QString, QByteArray> bodies;
    QStringList requests;
    bool busy = false;
};

}  // namespace melodrop::testing
