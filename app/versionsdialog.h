// The earlier versions of the ledger on screen, listed so that the user recognises the month: when
// each was saved, its 支出計 and its 計算残高, newest first. 開く (the default) opens the one
// chosen, キャンセル nothing.
#pragma once

#include "ledger/versions.h"

#include <optional>
#include <vector>

class QWidget;

// Runs the dialog over `versions`; the one chosen, or none.
std::optional<LedgerVersion> ChooseVersion(QWidget* owner, const std::vector<VersionSummary>& versions);
