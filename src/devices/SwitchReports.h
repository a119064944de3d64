#pragma once
// The three switch reports read into report models:
//   - the terminal report: the apartments of the selected switch's entrance
//     over the switch's terminals;
//   - the tract report: every switch of the object with the call panels wired
//     to it, by tract;
//   - the object report: every switch of the object with its entrance and
//     apartment range, and the panels wired to it.
// The switches are the rows of the switch list (FDM.Q_MNpk) in its order; the
// list stays on its record. A builder that cannot read what it needs says why
// and returns nothing, so that no blank report is shown.

#include "devices/ReportModel.h"

#include <optional>

class TFDM;

namespace SwitchReportTexts {
inline const QString kTerminalCaption = QStringLiteral("Распределение клемм коммутаторов");
inline const QString kTerminalHeader =
    QStringLiteral("Распределение квартир подъезда по клеммам коммутатора КМ");
inline const QString kTractCaption = QStringLiteral("Распределение блоков вызова по трактам СПК");
inline const QString kTractHeader = QStringLiteral("Распределение блоков вызова по трактам КМ");
inline const QString kObject = QStringLiteral("ОБЪЕКТ");
inline const QString kPage = QStringLiteral("стр.");
inline const QString kTractRows = QStringLiteral("Тракт (вход)");
inline const QString kNoSwitch = QStringLiteral("Коммутатор не выбран: в списке нет коммутаторов.");
inline const QString kNoObject = QStringLiteral("Объект не выбран.");
QString EntranceNotFound(const QString& switchNumber);
QString ReadFailed(const QString& why);
}  // namespace SwitchReportTexts

// Puts the house list (Q_Dom) and the entrance list (Q_DPd) on the entrance
// of the switch the switch list stands on, so that Q_Kvp holds its apartments.
bool PositionOnSwitchEntrance(TFDM& dm, QString* error);

// The terminal report of the selected switch; positions the house and the
// entrance lists first (PositionOnSwitchEntrance).
std::optional<ReportModel> BuildTerminalReport(TFDM& dm, QString* error);
std::optional<ReportModel> BuildTractReport(TFDM& dm, QString* error);
std::optional<ReportModel> BuildObjectReport(TFDM& dm, QString* error);
