#include "search/SearchStart.h"

#include "platform/Error.h"

namespace trovel {

void SearchStart::ClearGrid(FlexGrid& grid) {
  grid.SetRows(1);
  grid.SetRows(2);
  grid.SetFixedRows(1);
}

void SearchStart::Reopen(std::shared_ptr<DataCursor>& cursor, const std::shared_ptr<DataConnection>& connection,
                         const SearchStatement& statement) {
  DataCursor::CloseAndRelease(cursor);
  if (!connection) throw Error::ObjectNotSet();
  bool flag = false;
  cursor = connection->OpenCursor(statement, flag);
}

}  // namespace trovel
