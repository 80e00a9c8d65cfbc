// Data bands whose data is not there: a template over data sets that were
// not given.
#pragma once

namespace quillet {

class TfrBandView;
class TfrTemplate;

// The first data band whose data source names a data set nobody registered
// (a source starting with a digit is a record count, not a name); none when
// every data band finds its data.
const TfrBandView* FirstBandWithoutData(const TfrTemplate& t);

}  // namespace quillet
