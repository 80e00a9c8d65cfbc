begin
  x := 1;
  for i := 1 to 3 do s := s + i;
  if x > 0 then y := UPPERCASE('ab') else y := 2;
  10: x := x + 1; if x < 5 then goto 10
end
