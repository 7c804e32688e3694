#include "platform/core/guarded.h"
#include "platform/core/dialogs.h"
#include "platform/core/errors.h"
#include <exception>

QString currentExceptionText()
{
    try {
        throw;
    } catch (const TvxError &e) {
        return e.text();
    } catch (const std::exception &e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("Unbekannter Fehler");
    }
}

void guarded(const std::function<void()> &body)
{
    try {
        body();
    } catch (const EAbort &) {
    } catch (...) {
        Dialogs::instance().error(currentExceptionText());
    }
}
