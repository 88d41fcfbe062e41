#pragma once
// Which way a cipher command goes, for pwd and file alike.
namespace orvacct {

enum class Direction { Encrypt, Decrypt };

}  // namespace orvacct
