#include "ui/display_guard.h"

#include <QString>
#include <QStringList>
#include <cstdio>
#include <cstdlib>

namespace scrivola {
namespace {

struct HeldMessage {
    QtMsgType type;
    QString category;
    QString text;
};

QList<HeldMessage>* held = nullptr;

void holdMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        held->append({type, QString::fromUtf8(context.category), text});
        return;
    }
    // The platform plugin's own account of what failed came before the
    // fatal message, which only suggests reinstalling.
    QString reason = QStringLiteral("no window system could be reached");
    for (const HeldMessage& message : *held) {
        if (message.type != QtDebugMsg && !message.text.trimmed().isEmpty()) {
            reason = message.text.simplified();
            break;
        }
    }
    std::fprintf(stderr, "scrivola-synth: cannot open a display: %s\n",
                 reason.toLocal8Bit().constData());
    std::fflush(stderr);
    std::_Exit(EXIT_FAILURE);
}

}  // namespace

DisplayGuard::DisplayGuard() {
    held = new QList<HeldMessage>;
    previous_ = qInstallMessageHandler(holdMessage);
}

DisplayGuard::~DisplayGuard() {
    qInstallMessageHandler(previous_);
    const QList<HeldMessage> messages = std::move(*held);
    delete held;
    held = nullptr;
    for (const HeldMessage& message : messages) {
        const QByteArray category = message.category.toUtf8();
        const QMessageLogContext context(nullptr, 0, nullptr, category.constData());
        qt_message_output(message.type, context, message.text);
    }
}

}  // namespace scrivola
