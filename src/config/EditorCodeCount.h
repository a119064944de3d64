#pragma once
// Sections 2 and 3 of a call-panel or console file must agree: section 2
// announces the apartments of every entrance, section 3 holds one call code
// per apartment (section 4 one flag group and the console's section 5 one
// time entry each). A damaged file may announce more apartments than its
// section 3 holds codes; the editor says so when it opens such a file, and
// its save writes the two sections consistent and says what it did.

#include "config/ConfigEditorFile.h"

#include <QString>

// The apartments that section 2 of the tab's values announces, counted as
// its encoder writes them.
qint64 AnnouncedApartments(const EditorFile& file, const ConfigScreenSettings& settings);

// Opening: the warning line when section 3 gave fewer codes than section 2
// announces (codesRead of the values); empty when it gave them all.
QString MissingCodesWarning(const EditorFile& file, const ConfigScreenSettings& settings);

// Saving: the call-code records brought to the apartments section 2
// announces. Missing records are added with an empty code and the default
// flags; records past the last entrance, which the grids do not show, are
// dropped.
struct CodeCountMatch {
    enum Result {
        Agreed,    // nothing to change
        Padded,    // empty codes added
        Cut,       // records past the entrances dropped
        TooLarge,  // so many apartments that their codes cannot fit a file; nothing changed
    };
    Result result = Agreed;
    qint64 announced = 0;
    qsizetype records = 0;  // before the match
    // What the operator is told (a refused save adds that it saved nothing);
    // empty when the sections agreed.
    QString Text() const;
};
CodeCountMatch MatchCodesToEntrances(EditorFile& file, const ConfigScreenSettings& settings);
