// One line of a performance file as a JSON object, both ways. Reading checks
// every field and gives the reason for the first that is wrong; keys it does
// not know are left alone, so later versions may add some.
#pragma once

#include <QJsonObject>
#include <QString>

#include "performance/performance_event.h"

namespace scrivola {

QJsonObject headerToJson(const PerformanceHeader& header);
QJsonObject stateToJson(const StartingState& start);
QJsonObject eventToJson(const PerformanceEvent& event);

// Each gives an empty text when `object` is sound, otherwise the reason.
// A header of a newer version is refused with the reason saying so.
QString headerFromJson(const QJsonObject& object, PerformanceHeader& header);
QString stateFromJson(const QJsonObject& object, StartingState& start);
QString eventFromJson(const QJsonObject& object, PerformanceEvent& event);

// The kind of line an object is: its "k".
inline const QString kKindKey = QStringLiteral("k");
inline const QString kStateKind = QStringLiteral("state");

}  // namespace scrivola
