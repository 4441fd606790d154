// NamedFields: the Fields of a cursor whose columns the backend knows by
// position. A name is looked up among the column names, upper-cased once when
// the cursor learns them, without regard to letter case and without
// allocating; the value comes from the cursor's current row.
//
// Thread-safety: as the cursor that owns it.
#pragma once

#include <string>
#include <vector>

#include "connectors/AsciiCase.h"
#include "connectors/SqlText.h"
#include "contracts/Fields.h"
#include "platform/Error.h"

namespace trovel {

class NamedFields : public Fields {
 public:
  int Count() const override { return static_cast<int>(names_.size()); }

  // A name written as SQL quotes it ("LastName", the form a case-sensitive
  // server needs in a statement) finds the column of that name when no
  // column is called so quotes and all.
  int IndexOf(const std::string& name) const override {
    for (size_t i = 0; i < names_.size(); ++i)
      if (AsciiCase::Same(names_[i], name)) return static_cast<int>(i);
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"') {
      const std::string unquoted = SqlText::Unquoted(name);
      for (size_t i = 0; i < names_.size(); ++i)
        if (AsciiCase::Same(names_[i], unquoted)) return static_cast<int>(i);
    }
    throw Error(3265, "Item cannot be found in the collection corresponding to the requested name or ordinal: " + name);
  }

 protected:
  void AddName(const char* name) { names_.push_back(AsciiCase::Upper(name ? name : "")); }
  void ClearNames() { names_.clear(); }

 private:
  std::vector<std::string> names_;  // upper-cased
};

}  // namespace trovel
