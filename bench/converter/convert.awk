# The same conversion in awk, as the reference for the benchmark.
BEGIN { FS = ","; ORS = "\r\n" }
{ sub(/\r$/, "") }
$1 == "C" { if (open) print "0 0 0 0 " station; print $2 "    42"; station = $7; open = 1; next }
$1 == "E" { print $2 "  " $5 "  " $7 "  " $4 "  " $6; next }
$1 == "D" { print $2 "  " $5 "  -1     " $4 "  " $6; next }
END { if (open) print "0 0 0 0 " station }
