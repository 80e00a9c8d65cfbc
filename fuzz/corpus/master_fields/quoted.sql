SELECT ':A.b', x::int, "c:D.e" -- :F.g
/* :H.i */ WHERE a = :M.f