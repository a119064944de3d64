#include "site/ui/SiteForms.h"

#include "foundation/NavigationHooks.h"
#include "foundation/ui/ScreenFrames.h"
#include "site/AccessMatrix.h"
#include "site/MatrixEditor.h"
#include "site/ui/TFrDom.h"
#include "site/ui/TFrKvr.h"
#include "site/ui/TFrMatr.h"
#include "site/ui/TFrPiople.h"
#include "site/ui/TFrPod.h"

namespace SiteForms {

void RegisterFrames() {
    ScreenFrames::Register(1, [] { return new TFrMatr; });
    ScreenFrames::Register(2, [] { return new TFrDom; });
    ScreenFrames::Register(3, [] { return new TFrPod; });
    ScreenFrames::Register(6, [] { return new TFrKvr; });
    ScreenFrames::Register(14, [] { return new TFrPiople; });
}

void InstallHooks() {
    NavigationHooks& hooks = Hooks();
    // Leaving the object screen closes its edit panel.
    hooks.CloseObjectEditPanel = [] {
        if (TFrMatr* frame = TFrMatr::Instance()) frame->VvodObjClick();
    };
    // The object screen's entrance save re-creates the matrix.
    hooks.RebuildDevices = [] { AccessMatrix().RebuildDevices(); };
    // The entrance screen's step when a house has no entrance rows yet.
    hooks.CreateEntrancesFromMatrix = [] { AccessMatrix().VvodObjClick(); };
    // "Сохранить матрицу?" answered Yes on leaving the matrix screen.
    hooks.SaveMatrix = [] {
        if (TFrDom* frame = TFrDom::Instance())
            frame->FrDom1BtnSaveClick();
        else
            MatrixEditor().SaveMatrix();
    };
    // A selection of the residents screen lets it open on an empty list.
    hooks.ResidentSearchActive = [] {
        const TFrPiople* frame = TFrPiople::Instance();
        return frame && frame->Search() != SearchState::Editing;
    };
    // The matrix reopened shows its totals.
    hooks.ReopenMatrix = [reopen = hooks.ReopenMatrix] {
        if (reopen) reopen();
        if (TFrDom* frame = TFrDom::Instance()) frame->ShowMatrixTotals();
    };
}

}  // namespace SiteForms
