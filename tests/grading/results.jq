# The results JSON checked against the form autograding services read: each
# submission as Gradescope's results.json (score, max_score, execution_time,
# output, tests[] of name, score, max_score, status, output), the scores
# adding up. A class file holds them in "submissions"; a file for --one is
# one such object. Use: jq -e -f results.jq FILE (exit status 0: it fits).
def result:
  type == "object"
  and (.name | type == "string")
  and (.score | type == "number") and (.max_score | type == "number")
  and (.execution_time | type == "number") and (.output | type == "string")
  and (.tests | type == "array") and (.tests | length >= 2)
  and ([.tests[] | type == "object"
        and (.name | type == "string")
        and (.score | type == "number") and (.max_score | type == "number")
        and .score >= 0 and .score <= .max_score
        and (.status == "passed" or .status == "failed")
        and (.output | type == "string")] | all)
  and ((.tests | map(.score) | add) == .score)
  and ((.tests | map(.max_score) | add) == .max_score);
if has("submissions") then
  (.submissions | type == "array") and (.frames | type == "array")
  and (.submissions | map(result) | all)
else
  result
end
