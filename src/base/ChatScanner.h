#pragma once
// Reports each new line of the open chat room's transcript while switched on.
#include <QObject>
#include <QString>

namespace melodrop {

class ChatScanner : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~ChatScanner() override = default;

    // Start reporting new lines (lines already in the transcript are not reported).
    // Harmless when already on.
    virtual void ScanOn() = 0;
    // Stop reporting. Harmless when already off.
    virtual void ScanOff() = 0;
    virtual bool isScanning() const = 0;

    // The host's free text property; no effect on the scanner itself.
    QString Tag() const { return tag_; }
    void setTag(const QString& tag) { tag_ = tag; }

signals:
    // One event per new transcript line, in order, the user's own lines included.
    void ChatLine(const QString& screenName, const QString& text);

private:
    QString tag_;
};

}  // namespace melodrop
