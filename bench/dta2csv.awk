# A plain conversion as an operator might script it in gawk, for the
# comparison in bench/compare.sh: the same CSV rows as dta2csv and a log of
# the same lines, with none of its checks (no rounding of the count, no
# refusal of odd input, the CSV written in place).
#
#   LC_ALL=C gawk -v csv=OUT.CSV -f dta2csv.awk INPUT.DAT

# The time text is made again only when the second changes.
function say(message,  now) {
  now = systime()
  if (now != shown) { stamp = strftime("%H:%M:%S", now); shown = now }
  print stamp " " message
}
function q(item) {
  gsub(/"/, "\"\"", item)
  return "\"" item "\""
}

BEGIN { RS = "\r\n|\r|\n"; SEP = "\",\"" }

NR == 1 {
  count = substr($0, 14, 5)
  records = count + 0
  say("000 Iniciando a conversão")
  say("001 Abrindo arquivo.....: " toupper(FILENAME))
  say("012 Arquivo de saida CSV: " csv)
  say("002 Cabecalho")
  say("003 Estacao: " substr($0, 1, 4))
  say("004 Movimento: " FILENAME)
  say("005 Qtd. Registros: " count)
  say("006 Processando Registros")
  printf "" > csv
  next
}

NR - 1 > records { exit }

{
  station = substr($0, 1, 4)
  destination = substr($0, 29, 4)
  origin = substr($0, 37, 4)
  hasDestination = destination !~ /^ *$/
  hasOrigin = origin !~ /^ *$/
  if (substr($0, 52, 1) == "X") {
    touch++
  } else if (!hasDestination && !hasOrigin) {
    conditions++
  } else if (hasDestination && hasOrigin) {
    crossings++
  } else {
    if (hasDestination) {
      departures++
      kind = "DEP"; time = substr($0, 33, 4); from = station; to = destination
    } else {
      arrivals++
      kind = "ARR"; time = substr($0, 41, 4); from = origin; to = station
    }
    date = substr($0, 10, 6)
    d = substr(date, 1, 2) "/" substr(date, 3, 2) "/20" substr(date, 5, 2)
    t = substr(time, 1, 2) ":" substr(time, 3, 2)
    if (index(substr($0, 1, 57), "\"")) {
      # A quote inside an item is doubled: item by item, for the rare line
      # that holds one.
      row = q(d) "," q(t) "," q(kind) "," q(substr($0, 16, 7)) "," q(from) "," q(to) "," \
        q(substr($0, 23, 4)) "," q(substr($0, 27, 1)) "," q(substr($0, 45, 2)) "," \
        q(substr($0, 48, 2)) "," q(substr($0, 54, 4))
    } else {
      row = "\"" d SEP t SEP kind SEP substr($0, 16, 7) SEP from SEP to SEP substr($0, 23, 4) \
        SEP substr($0, 27, 1) SEP substr($0, 45, 2) SEP substr($0, 48, 2) SEP substr($0, 54, 4) "\""
    }
    printf "%s\r\n", row > csv
  }
  now = systime()
  if (now != shown) { stamp = strftime("%H:%M:%S", now); shown = now }
  print stamp " 007 " NR - 1 " de " count
}

END {
  close(csv)
  say("008 Fim de Conversão bem sucedido")
  say("009 Criado o Arquivo " csv)
  say("013 Partidas.......: " departures + 0)
  say("014 Chegadas.......: " arrivals + 0)
  say("015 Través.........: " crossings + 0)
  say("019 Toque/Arremetid: " touch + 0)
  say("016 Cond.Aeroporto.: " conditions + 0)
  say("018 Total Movimento: " departures + arrivals + crossings + touch)
  say("020 Total DEP/ARR..: " departures + arrivals)
  say("017 Total Registros: " count)
}
