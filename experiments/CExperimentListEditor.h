#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "experiments/CExperiment.h"
#include "experiments/ExperimentTable.h"

namespace mirelock {

class CMirelockDoc;
class UserMessages;

// The experiment list editor without its window: it works on a copy of the
// document's list, keeps the selected row and the display table, and hands
// the copy back only when the user confirms.
//
// Add and Edit are two steps, as in the dialog: Start... gives the experiment
// the parameter editor opens on; Confirm... takes the edited result.
class CExperimentListEditor {
 public:
  static constexpr const char* kDuplicateMessage = "Experiment already in list.";

  CExperimentListEditor(std::vector<CExperiment> experiments, UserMessages& messages);

  const std::vector<CExperiment>& Experiments() const { return experiments_; }
  const ExperimentTable& Table() const { return table_; }

  std::optional<std::size_t> Selection() const { return selection_; }
  // Selects a row; an index beyond the list clears the selection.
  void Select(std::optional<std::size_t> row);

  // A copy of the last experiment, or the empty-list start values.
  CExperiment StartAdd() const;
  // Appends and selects the experiment unless it equals one of the list;
  // then shows "Experiment already in list." and returns false.
  bool ConfirmAdd(const CExperiment& edited);

  // A copy of the selected experiment; none without a selection.
  std::optional<CExperiment> StartEdit() const;
  // Replaces the selected experiment unless the result equals any experiment
  // of the list, the edited one included (then the message, and false).
  bool ConfirmEdit(const CExperiment& edited);

  // Each acts on the selected row and returns whether the list changed.
  bool Delete();
  bool MoveUp();
  bool MoveDown();

  // The user confirmed the editor: the copy replaces the document's list.
  // With a worker in existence, a list that differs sets settings changed.
  void CommitTo(CMirelockDoc& doc, bool workerExists) const;

 private:
  bool IsInList(const CExperiment& ex) const;
  void Rebuild() { table_ = BuildExperimentTable(experiments_); }

  std::vector<CExperiment> experiments_;
  UserMessages& messages_;
  std::optional<std::size_t> selection_;
  ExperimentTable table_;
};

}  // namespace mirelock
