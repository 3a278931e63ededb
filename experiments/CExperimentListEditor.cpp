#include "experiments/CExperimentListEditor.h"

#include <algorithm>
#include <utility>

#include "experiments/CMirelockDoc.h"
#include "platform/UserMessages.h"

namespace mirelock {

CExperimentListEditor::CExperimentListEditor(std::vector<CExperiment> experiments, UserMessages& messages)
    : experiments_(std::move(experiments)), messages_(messages) {
  Rebuild();
}

void CExperimentListEditor::Select(std::optional<std::size_t> row) {
  selection_ = row && *row < experiments_.size() ? row : std::nullopt;
}

bool CExperimentListEditor::IsInList(const CExperiment& ex) const {
  return std::find(experiments_.begin(), experiments_.end(), ex) != experiments_.end();
}

CExperiment CExperimentListEditor::StartAdd() const {
  return experiments_.empty() ? CExperiment::FirstOfEmptyList() : experiments_.back();
}

bool CExperimentListEditor::ConfirmAdd(const CExperiment& edited) {
  if (IsInList(edited)) {
    messages_.Show(kDuplicateMessage);
    return false;
  }
  experiments_.push_back(edited);
  selection_ = experiments_.size() - 1;
  Rebuild();
  return true;
}

std::optional<CExperiment> CExperimentListEditor::StartEdit() const {
  if (!selection_) return std::nullopt;
  return experiments_[*selection_];
}

bool CExperimentListEditor::ConfirmEdit(const CExperiment& edited) {
  if (!selection_) return false;
  if (IsInList(edited)) {
    messages_.Show(kDuplicateMessage);
    return false;
  }
  experiments_[*selection_] = edited;
  Rebuild();
  return true;
}

bool CExperimentListEditor::Delete() {
  if (!selection_) return false;
  experiments_.erase(experiments_.begin() + static_cast<std::ptrdiff_t>(*selection_));
  selection_.reset();
  Rebuild();
  return true;
}

bool CExperimentListEditor::MoveUp() {
  if (!selection_ || *selection_ == 0) return false;
  std::swap(experiments_[*selection_], experiments_[*selection_ - 1]);
  --*selection_;
  Rebuild();
  return true;
}

bool CExperimentListEditor::MoveDown() {
  if (!selection_ || *selection_ + 1 >= experiments_.size()) return false;
  std::swap(experiments_[*selection_], experiments_[*selection_ + 1]);
  ++*selection_;
  Rebuild();
  return true;
}

void CExperimentListEditor::CommitTo(CMirelockDoc& doc, bool workerExists) const {
  if (workerExists && doc.m_experiments != experiments_) doc.m_bSettingsChanged = true;
  doc.m_experiments = experiments_;
}

}  // namespace mirelock
