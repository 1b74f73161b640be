#pragma once
// The product's identity as the user sees it.
inline constexpr char product_name[] = "Zephrin";
inline constexpr char maker_name[] = "Tarnwick";
inline constexpr char support_address[] = "support@tarnwick.com";
