#include "config/TPkParams.h"

#include "config/ConfigFileBuilder.h"
#include "config/ConfigImage.h"
#include "config/FieldFit.h"
#include "config/PanelEntranceSection.h"
#include "config/SectionReader.h"
#include "foundation/BitAndStr.h"
#include "platform/Dialogs.h"

namespace {

// The fields in record order, which is also their order from payload bit 0.
struct PkFieldInfo {
    QString TPkParams::*member;
    int width;
    bool mask;
    const char* writeLabel;
    const char* readLabel;
};

constexpr PkFieldInfo kPkFields[] = {
    {&TPkParams::t_cm, 16, false, "TCM:= ", " TCM:= "},
    {&TPkParams::t_cl, 8, false, "TCL:= ", " TCL:= "},
    {&TPkParams::t_dl, 8, false, "TDL:= ", " TDL:= "},
    {&TPkParams::t_vc, 8, false, "TVC:= ", " TVC:= "},
    {&TPkParams::m_vo, 16, true, "MVC0:=", " MVC0:= "},
    {&TPkParams::m_vb, 16, true, "MVC1:=", " MVC1:= "},
    {&TPkParams::n_xl, 16, false, "MXL:= ", " MxL:= "},
    {&TPkParams::p_fc, 8, false, "FC:=  ", " FC := "},
    {&TPkParams::t_st, 8, false, "ST:=  ", " ST := "},
    {&TPkParams::acp1, 8, false, "AE1:= ", " AE1:= "},
    {&TPkParams::acp2, 8, false, "AE2:= ", " AE2:= "},
    {&TPkParams::acp3, 8, false, "AE3:= ", " AE3:= "},
    {&TPkParams::acp4, 8, false, "AE4:= ", " AE4:= "},
    {&TPkParams::t_dx, 8, false, "TDX:= ", " TDX:= "},
    {&TPkParams::t_mo, 8, false, "MTO:= ", " MTO:= "},
    {&TPkParams::t_bo, 8, false, "BTO:= ", " BTO:= "},
    {&TPkParams::t_wt, 8, false, "WAIT:=", " WAIT:= "},
};

// The numeric fields with the column each is filled from: the parameter
// set's (set) or the switch's own (sw).
struct PkNumberSource {
    QString TPkParams::*member;
    int width;
    const char* column;
    qint64 PkParamSetRow::*set;
    qint64 SwitchRow::*sw;
};

constexpr PkNumberSource kNumberSources[] = {
    {&TPkParams::t_cm, 16, "t_cm", &PkParamSetRow::t_cm, nullptr},
    {&TPkParams::t_cl, 8, "t_cl", &PkParamSetRow::t_cl, nullptr},
    {&TPkParams::t_dl, 8, "t_dl", &PkParamSetRow::t_dl, nullptr},
    {&TPkParams::t_vc, 8, "t_vc", &PkParamSetRow::t_vc, nullptr},
    {&TPkParams::n_xl, 16, "n_xl", nullptr, &SwitchRow::nXl},
    {&TPkParams::t_st, 8, "t_st", &PkParamSetRow::t_st, nullptr},
    {&TPkParams::acp1, 8, "acp1", &PkParamSetRow::acp1, nullptr},
    {&TPkParams::acp2, 8, "acp2", &PkParamSetRow::acp2, nullptr},
    {&TPkParams::acp3, 8, "acp3", &PkParamSetRow::acp3, nullptr},
    {&TPkParams::acp4, 8, "acp4", &PkParamSetRow::acp4, nullptr},
    {&TPkParams::t_dx, 8, "t_dx", &PkParamSetRow::t_dx, nullptr},
    {&TPkParams::t_mo, 8, "t_mo", &PkParamSetRow::t_mo, nullptr},
    {&TPkParams::t_bo, 8, "t_bo", &PkParamSetRow::t_bo, nullptr},
    {&TPkParams::t_wt, 8, "t_wt", &PkParamSetRow::t_wt, nullptr},
};

constexpr int kPkParamsSection = 0;
constexpr int kPkParamsVersion = 1;

// The spin edits of the editor, each beside the record field it shows.
struct PkValueField {
    PkParamSpin spin;
    QString TPkParams::*member;
};

const PkValueField kValueFields[] = {
    {{"TCM", 16, &PkParamValues::TCM}, &TPkParams::t_cm},
    {{"TCL", 8, &PkParamValues::TCL}, &TPkParams::t_cl},
    {{"TDL", 8, &PkParamValues::TDL}, &TPkParams::t_dl},
    {{"TVC", 8, &PkParamValues::TVC}, &TPkParams::t_vc},
    {{"MxL", 16, &PkParamValues::MxL}, &TPkParams::n_xl},
    {{"FC", 8, &PkParamValues::FC}, &TPkParams::p_fc},
    {{"EST", 8, &PkParamValues::EST}, &TPkParams::t_st},
    {{"ACP1", 8, &PkParamValues::ACP1}, &TPkParams::acp1},
    {{"ACP2", 8, &PkParamValues::ACP2}, &TPkParams::acp2},
    {{"ACP3", 8, &PkParamValues::ACP3}, &TPkParams::acp3},
    {{"ACP4", 8, &PkParamValues::ACP4}, &TPkParams::acp4},
    {{"TDX", 8, &PkParamValues::TDX}, &TPkParams::t_dx},
    {{"MTO", 8, &PkParamValues::MTO}, &TPkParams::t_mo},
    {{"BTO", 8, &PkParamValues::BTO}, &TPkParams::t_bo},
    {{"WAIT", 8, &PkParamValues::WAIT}, &TPkParams::t_wt},
};

constexpr int kCameraItems = 16;

// A camera list from a record mask (camera 1 first); blanks are unticked.
QString cameraItems(const QString& mask) {
    QString items(kCameraItems, QLatin1Char('0'));
    for (int i = 0; i < qMin<qsizetype>(mask.size(), kCameraItems); ++i)
        if (mask.at(i) == QLatin1Char('1')) items[i] = QLatin1Char('1');
    return items;
}

// A field as a log shows it: a mask as its characters, a number in decimal.
QString shown(const TPkParams& p, const PkFieldInfo& f) {
    const QString& v = p.*f.member;
    return f.mask ? v : QString::number(BinToInt(v));
}

QStringList fieldLines(const TPkParams& p, bool readScreen) {
    QStringList lines;
    for (const PkFieldInfo& f : kPkFields)
        lines << QString::fromUtf8(readScreen ? f.readLabel : f.writeLabel) + shown(p, f);
    return lines;
}

// The section-0 columns that hold NULL, so that no field can be built.
QStringList missingValues(const PkParamSetRow& set, const SwitchRow& sw) {
    QStringList missing = set.nullColumns;
    missing += sw.nullColumns;
    return missing;
}

}  // namespace

QString PkParamField(qint64 value, int width) {
    const quint64 low = width >= 64 ? quint64(value) : quint64(value) & ((quint64(1) << width) - 1);
    return BitField(qint64(low), width);
}

void InitPkParams(TPkParams& p) {
    for (const PkFieldInfo& f : kPkFields) p.*f.member = QString(f.width, QLatin1Char(' '));
    p.Tail.clear();
}

void PkParamsFromDB(TPkParams& p, const PkParamSetRow& set, const SwitchRow& sw, ConfigLogs* logs) {
    InitPkParams(p);
    ConfigLogs untold;
    for (const PkNumberSource& f : kNumberSources) {
        const qint64 stored = f.set ? set.*f.set : sw.*f.sw;
        const qint64 v = FitField(logs ? *logs : untold, QString::fromLatin1(f.column), stored,
                                  f.width, FieldFit::LowBits);
        p.*f.member = BitField(v, f.width);
    }
    ConfigLogs& told = logs ? *logs : untold;
    p.m_vo = FitMask(told, QStringLiteral("m_vo"), sw.mVo, kCameraItems, MaskKeeps::First);
    p.m_vb = FitMask(told, QStringLiteral("m_vb"), sw.mVb, kCameraItems, MaskKeeps::First);
    // The increment of the first apartment modulo 100, its range, as the
    // panels' AI takes it: the two files of an entrance agree.
    p.p_fc = BitField(TellWritten(told, QStringLiteral("p_fc"), sw.pFc, 0,
                                  kFirstApartmentIncrements - 1, FirstApartmentIncrement(sw.pFc)),
                      8);
}

QString PkParamsToBits(const TPkParams& p) {
    // Built by prepending in record order; the masks are reversed so that
    // camera 1 lands in the lowest bit.
    QString text;
    for (const PkFieldInfo& f : kPkFields) {
        const QString& v = p.*f.member;
        text.prepend(f.mask ? ReverseStr(v) : v);
    }
    text.prepend(p.Tail);
    return text.trimmed();
}

void PkParamsFromBits(const QString& sectionText, TPkParams& p) {
    InitPkParams(p);
    SectionReader r(sectionText);
    for (const PkFieldInfo& f : kPkFields) {
        QString bits;
        if (!r.TakeBits(f.width, bits)) continue;  // a field that does not fit stays blank
        p.*f.member = f.mask ? ReverseStr(bits) : bits;
    }
    if (r.Remaining() > 0) p.Tail = r.Rest();
}

bool EncodePkSection0(const std::optional<PkParamSetRow>& set, const SwitchRow& sw,
                      QString& section, ConfigLogs& logs) {
    section.clear();
    if (!set) {
        const QString text = QStringLiteral("Общие параметры КМ не определены!");
        Dialogs::Message(QStringLiteral("Ошибка"), text);
        TellInResults(logs, text);  // the results keep the reason after the box is gone
        return false;
    }
    const QStringList missing = missingValues(*set, sw);
    if (!missing.isEmpty()) {
        // A NULL would silently become 0 in the device; the engineer fills it in first.
        const QString text =
            QStringLiteral("Общие параметры КМ заданы не полностью, нет значений: ") +
            missing.join(QStringLiteral(", "));
        Dialogs::Message(QStringLiteral("Ошибка"), text, DlgButtons::Ok, DlgIcon::Error);
        TellInResults(logs, text);  // the results keep the reason after the box is gone
        return false;
    }
    TPkParams p;
    PkParamsFromDB(p, *set, sw, &logs);
    logs.detail << ConfigWriteHeading(QStringLiteral("КМ сек 0"))
                << QStringLiteral("Основные параметры:") << fieldLines(p, false);
    QString payload = PkParamsToBits(p);
    logs.detail << QStringLiteral("длина 0 sec бит ") + QString::number(payload.size());
    section = WrapSection(payload, kPkParamsSection, kPkParamsVersion, &logs.result);
    return true;
}

QStringList DecodePkSection0(const QString& sectionText) {
    TPkParams p;
    PkParamsFromBits(sectionText, p);
    QStringList lines{ConfigReadHeading(QStringLiteral("КМ    СЕКЦИЯ 0"))};
    lines << fieldLines(p, true) << p.Tail;
    return lines;
}

QString EncodePkParams(const TPkParams& p, QStringList* log) {
    QString payload = PkParamsToBits(p);
    return WrapSection(payload, kPkParamsSection, kPkParamsVersion, log);
}

const QList<PkParamSpin>& PkParamSpins() {
    static const QList<PkParamSpin> spins = [] {
        QList<PkParamSpin> list;
        for (const PkValueField& f : kValueFields) list << f.spin;
        return list;
    }();
    return spins;
}

PkParamValues DecodePkParams(const QString& sectionText) {
    TPkParams p;
    PkParamsFromBits(sectionText, p);
    PkParamValues v;
    for (const PkValueField& f : kValueFields) v.*f.spin.value = BinToInt(p.*f.member);
    v.ChMskPo = cameraItems(p.m_vo);
    v.ChMskBv = cameraItems(p.m_vb);
    v.MKm0 = p.Tail;
    return v;
}

QString EncodePkParams(const PkParamValues& v, QStringList* log) {
    TPkParams p;
    InitPkParams(p);
    for (const PkValueField& f : kValueFields)
        p.*f.member = PkParamField(v.*f.spin.value, f.spin.width);
    p.m_vo = cameraItems(v.ChMskPo);
    p.m_vb = cameraItems(v.ChMskBv);
    p.Tail = v.MKm0;
    return EncodePkParams(p, log);
}
