#pragma once
// vireo-cli edit: runs the Edit menu's commands on a data file.

#include <string>
#include <vector>

class CTavSystem;
namespace Brio {
class CTavBufferAccessor;
}

// Returns the process exit status: 0 success, 1 failure (message on standard error).
int CliEdit(CTavSystem& system, const std::vector<std::string>& arguments);

// The user banks as UserName.txt in the script folder lists them, else one bank of 128
// patches and one of 128 rhythm sets, so parts that play user programs are known offline.
void CliFillUserBanks(CTavSystem& system, Brio::CTavBufferAccessor& accessor);
