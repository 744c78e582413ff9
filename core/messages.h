#pragma once

#include <string_view>

// The progress log's message catalogue. Each literal begins with its
// three-digit code; a literal that takes a value already ends with its
// separator, so the value is appended directly. The codes are identities,
// not an order. Texts are UTF-8 and must stay byte for byte as they are:
// operators and their scripts read them.
namespace ravuvur::msg {

inline constexpr std::string_view k000Starting = "000 Iniciando a conversão";
inline constexpr std::string_view k001Opening = "001 Abrindo arquivo.....: ";
inline constexpr std::string_view k002Header = "002 Cabecalho";
inline constexpr std::string_view k003Station = "003 Estacao: ";
inline constexpr std::string_view k004Movement = "004 Movimento: ";
inline constexpr std::string_view k005RecordCount = "005 Qtd. Registros: ";
inline constexpr std::string_view k006Processing = "006 Processando Registros";
inline constexpr std::string_view k007Record = "007 ";  // then i, " de ", countText
inline constexpr std::string_view k007Of = " de ";
inline constexpr std::string_view k008Success = "008 Fim de Conversão bem sucedido";
inline constexpr std::string_view k009Created = "009 Criado o Arquivo ";
inline constexpr std::string_view k010NoFile = "010 ARQUIVO DTA NÃO INFORMADO";
inline constexpr std::string_view k011NotConverted = "011 CONVERSÃO NÃO REALIZADA";
inline constexpr std::string_view k012Output = "012 Arquivo de saida CSV: ";
inline constexpr std::string_view k013Departures = "013 Partidas.......: ";
inline constexpr std::string_view k014Arrivals = "014 Chegadas.......: ";
inline constexpr std::string_view k015Crossings = "015 Través.........: ";
inline constexpr std::string_view k016Conditions = "016 Cond.Aeroporto.: ";
inline constexpr std::string_view k017TotalRecords = "017 Total Registros: ";
inline constexpr std::string_view k018TotalMovements = "018 Total Movimento: ";
inline constexpr std::string_view k019TouchAndGo = "019 Toque/Arremetid: ";
inline constexpr std::string_view k020TotalDepArr = "020 Total DEP/ARR..: ";

// Errors and warnings. Any "ERRO" line makes the run end with 011 instead
// of 008.
inline constexpr std::string_view k021CannotOpenInput = "021 ERRO ao abrir o arquivo de entrada: ";
inline constexpr std::string_view k022CannotDeriveOutput =
    "022 ERRO ao derivar o nome do arquivo de saida";
inline constexpr std::string_view k023CannotCreateOutput = "023 ERRO ao criar o arquivo de saida: ";
inline constexpr std::string_view k024OutputIsInput =
    "024 ERRO: o arquivo de saida é o próprio arquivo de entrada: ";
inline constexpr std::string_view k025CannotWriteOutput = "025 ERRO ao gravar o arquivo de saida: ";
inline constexpr std::string_view k026CountOutOfRange =
    "026 ERRO: quantidade de registros fora do limite: ";
inline constexpr std::string_view k027EarlyEnd =
    "027 AVISO: fim do arquivo antes do registro ";  // then i, " de ", countText
inline constexpr std::string_view k028CannotReadInput = "028 ERRO ao ler o arquivo de entrada: ";
inline constexpr std::string_view k029OutOfMemory = "029 ERRO: memória insuficiente";
// Another input of the same call writes this run's CSV; then its path.
inline constexpr std::string_view k030OutputOfAnotherInput =
    "030 ERRO: o arquivo de saida já pertence ao arquivo de entrada: ";

}  // namespace ravuvur::msg
