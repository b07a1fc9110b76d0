#pragma once
// Reading what a phone channel's server answered.
#include <string>

// The string value of `"key":` at the top of an answer such as Telegram's
// {"ok":false,"error_code":401,"description":"Unauthorized"}; "" when there is none.
std::string JsonStringField(const std::string& json, const std::string& key);
// The text with each appearance of the secret as "***". A web address's path and query, and
// each part of them long enough to be a key, count as secrets too: servers echo them
// ("Cannot POST /hooks/<key>").
std::string WithoutSecret(std::string text, const std::string& secret, bool webAddress);
