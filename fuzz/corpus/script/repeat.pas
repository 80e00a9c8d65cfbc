repeat n := n + 1 until n >= 3
