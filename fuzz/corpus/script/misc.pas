begin a[1] := 5; { c } while n < 3 do n := n + 1; // x
 Exit end
